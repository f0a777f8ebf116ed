#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the fixed file of expressions on which every processor's build of
orvane-eval must answer byte for byte as the others: the same lines every
run, from a generator of its own (no library's random numbers, whose
sequence may change between versions). Many lines are made to end in the
last digits of a double: powers, long products, quotients, results near the
range's ends, and ANS carried from one line to the next.

    make_expressions.py COUNT > expressions.txt
"""
import sys

state = 20261210


def draw(n):
    """A number in [0, n), from a 64-bit linear congruential generator."""
    global state
    state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
    return (state >> 33) % n


def pick(items):
    return items[draw(len(items))]


def count():
    return str(pick([draw(10), draw(10), draw(40), draw(40), draw(200), draw(1100), draw(32768), -draw(20), -draw(1100)]))


def number():
    whole = str(draw(10 ** draw(16)))
    return pick([whole, whole + "." + str(draw(1000)), "0." + str(draw(10 ** 9)), whole + "E" + str(draw(310) - 155),
                 "-" + whole, "1E" + str(pick([-308, -320, 307, 308, -323]))])


def term():
    k, n = count(), count()
    if draw(3) == 0:
        k, n = sorted((k, n), key=int)
    return pick([f"C({k},{n})", f"A({k},{n})", f"W({k},{n})", f"W({k},{n})", f"T({n})", f"{draw(171)}!",
                 f"{draw(40)}!!", f"P{draw(60)}({','.join(str(draw(12)) for _ in range(draw(5)))})", "ANS",
                 number(), number()])


def expression(length):
    parts = [term()]
    while sum(map(len, parts)) < length:
        parts.append(pick(["+", "-", "*", "/", "*", "/"]))
        parts.append(term() if draw(5) else "(" + expression(draw(30)) + ")")
    return "".join(parts)


FIXED = ["C(2,5)", "A(2,5)", "W(2,5)", "T(5)", "5!", "P6(1,2,3)", "170!", "5!!", "C(9,896)", "1/3*3",
         "ANS*ANS", "6/0", "W(22,32765)", "W(-16,32744)", "W(5,-32614)", "W(-1074,2)", "T(-1075)", "W(1023,2)",
         "2^3", "0,5+1", "(C(2,5)+1)*2", "2*P5(2,3)+1", "5!+15!", "2*(3-(1+1))", "171!"]

if __name__ == "__main__":
    lines = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
    out = FIXED + [expression(pick([1, 8, 8, 20, 20, 60, 200]) if i % 1000 else 30000) for i in range(lines)]
    sys.stdout.write("".join(line[:32000] + "\n" for line in out))
