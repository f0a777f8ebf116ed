// SPDX-License-Identifier: MIT
// Counting versions of the global allocation functions: each block's usable
// size is added while it lives, and the largest sum is kept. The benchmarks
// run on one thread, so plain counters do.

#include "PeakMemory.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

std::size_t alive = 0;
std::size_t peak = 0;

void* Counted(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  alive += malloc_usable_size(block);
  if (alive > peak) peak = alive;
  return block;
}

void Released(void* block) noexcept {
  if (!block) return;
  alive -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Counted(size); }
void* operator new[](std::size_t size) { return Counted(size); }
void operator delete(void* block) noexcept { Released(block); }
void operator delete[](void* block) noexcept { Released(block); }
void operator delete(void* block, std::size_t) noexcept { Released(block); }
void operator delete[](void* block, std::size_t) noexcept { Released(block); }

namespace bench {

std::size_t StartPeak() {
  peak = alive;
  return alive;
}

std::size_t PeakSince(std::size_t base) { return peak - base; }

}  // namespace bench
