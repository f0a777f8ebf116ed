#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Types expressions into the installed program's expression box with real
key presses, presses Enter, and reads the answer box over AT-SPI.
    calculate.py PROGRAM      (needs DISPLAY and a D-Bus session)"""
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def wait_for(predicate, seconds=15.0):
    """Runs the event loop until predicate() holds; returns its last value."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def find_app():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app and app.get_name() == "orvane" and app.get_child_count() > 0:
            return app
    return None


def find_text(node, name):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        if child.get_role() == Atspi.Role.TEXT and child.get_name() == name:
            return child
        found = find_text(child, name)
        if found:
            return found
    return None


def text_of(node):
    iface = node.get_text_iface()
    return Atspi.Text.get_text(iface, 0, Atspi.Text.get_character_count(iface))


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def main():
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        Atspi.init()
        app = wait_for(find_app)
        if app is None:
            sys.exit("FAIL: the program did not appear on the accessibility bus")
        frame = app.get_child_at_index(0)
        expression, answer = find_text(frame, "Expression"), find_text(frame, "Answer")
        if not (expression and answer):
            sys.exit("FAIL: no expression box or answer box in the accessible tree")
        # No window manager here: the window gets the keyboard directly.
        xdotool("search", "--sync", "--onlyvisible", "--class", "orvane", "windowfocus", "--sync")
        failures = 0
        for typed, expected in (("C(2,5)+A(2,5)*W(2,5)", "510"), ("ANS*2", "1020")):
            expression.get_component_iface().grab_focus()
            xdotool("key", "ctrl+a", "BackSpace")
            xdotool("type", "--delay", "30", typed)
            xdotool("key", "Return")
            shown = wait_for(lambda: text_of(answer) == expected and expected, 10) or text_of(answer)
            ok = shown == expected
            failures += not ok
            print(f"{'ok  ' if ok else 'FAIL'}  {typed} + Enter shows {shown!r} (expected {expected!r})")
        sys.exit(1 if failures else 0)
    finally:
        program.terminate()
        program.wait(10)


if __name__ == "__main__":
    main()
