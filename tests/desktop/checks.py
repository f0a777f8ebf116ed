# SPDX-License-Identifier: MIT
"""What the desktop scripts share: named checks that are counted, not
stopped at, and waiting on a condition rather than for a fixed time."""
import sys
import time

failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait_for(predicate, seconds=10.0):
    """Polls predicate() until it holds; returns its last value."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def finish():
    print(f"{len(failures)} failed" if failures else "all checks passed")
    sys.exit(1 if failures else 0)
