// SPDX-License-Identifier: MIT
#pragma once

// The six counting functions, as the term passes call them.

#include "orvane/Int16.h"
#include "orvane/Text.h"

// Counting functions over 16-bit counts; results are doubles.
namespace orvane::Counting {

double Factorial(Int16 n);
double Arrangements(Int16 k, Int16 n);     // n! / (n-k)!
double Combinations(Int16 k, Int16 n);     // Arrangements(k, n) / k!
double ArrangementsRep(Int16 k, Int16 n);  // n to the power k
double TotalCombinations(Int16 n);         // 2 to the power n
// n! divided by the product of the factorials of the ","-separated list.
double PermutationsRep(Int16 n, TextView list);

}  // namespace orvane::Counting
