#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Times how long programs take to put their window on the screen: from just
before the program is started to the X server's MapNotify for its top-level
window, which the server sends the moment the window is mapped (no polling).
    startup_watch.py ROUNDS NAME=PROGRAM [NAME=PROGRAM...]
The programs take turns, round after round, so that a busy moment of the
machine falls on all of them alike. Needs DISPLAY; talks to libX11 directly
so that it needs no Python package beyond the standard library."""
import ctypes
import os
import select
import statistics
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("pad", ctypes.c_long * 24)]


def main():
    rounds = int(sys.argv[1])
    programs = [arg.split("=", 1) for arg in sys.argv[2:]]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the X display")
    root = x11.XDefaultRootWindow(display)
    x11.XSelectInput(display, root, SUBSTRUCTURE_NOTIFY_MASK)
    x11.XSync(display, 1)
    fd = x11.XConnectionNumber(display)
    event = XEvent()
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    times = {name: [] for name, _ in programs}

    def mapped(deadline):
        while time.monotonic() < deadline:
            while x11.XPending(display):
                x11.XNextEvent(display, ctypes.byref(event))
                if event.type == MAP_NOTIFY and not event.xmap.override_redirect:
                    return time.monotonic()
            select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
        return None

    for round_ in range(rounds + 1):  # the first round warms the caches and is not counted
        for name, program in programs:
            x11.XSync(display, 1)  # drop anything left from before
            start = time.monotonic()
            process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            end = mapped(start + 10)
            process.terminate()
            process.wait(10)
            if end is None:
                sys.exit(f"{name}: no window appeared within 10 s")
            if round_:
                times[name].append((end - start) * 1000)
            time.sleep(0.1)

    medians = {name: statistics.median(values) for name, values in times.items()}
    for name, values in times.items():
        print(f"{name:>12}: median {medians[name]:6.1f} ms  (min {min(values):6.1f}, max {max(values):6.1f}, "
              f"{len(values)} runs)")
    last = programs[-1][0]
    for name, _ in programs[:-1]:
        print(f"{last} / {name}: {medians[last] / medians[name]:.3f}")


if __name__ == "__main__":
    main()
