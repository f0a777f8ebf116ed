#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Walks the window's accessible tree over the real AT-SPI bus, as a screen
reader does, and checks what it would announce.
    screen_reader_walk.py ORVANE_BINARY
Needs a display and a D-Bus session (tests/desktop/with-xvfb.sh --dbus)."""
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

from checks import check, failures  # noqa: E402


def wait_for(predicate, seconds=10.0):
    """Runs the event loop until predicate() holds; returns its last value."""
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        value = predicate()
        if value:
            return value
        time.sleep(0.02)
    return predicate()


def find_app():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app and app.get_name() == "orvane":
            return app
    return None


def walk(node, found):
    """Every accessible below node, by name and role, depth first."""
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        found.append(child)
        walk(child, found)
    return found


def labels_of(node):
    names = []
    for relation in node.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            for i in range(relation.get_n_targets()):
                names.append(relation.get_target(i).get_name())
    return names


def main():
    # The bus switched on as a desktop does it, by an assistive tool that is
    # no screen reader: the program serves the tree, but shows no notes.
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                    "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:IsEnabled",
                    "variant:boolean:true"], check=True, capture_output=True)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    env.pop("QT_QPA_PLATFORMTHEME", None)
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        Atspi.init()
        app = wait_for(lambda: (a := find_app()) and a.get_child_count() > 0 and a)
        check(app is not None, "the program is on the accessibility bus")
        if app is None:
            return
        frame = app.get_child_at_index(0)
        check(frame.get_role() == Atspi.Role.FRAME, f"the window is a frame (is {frame.get_role_name()})")
        check(frame.get_name() == "Orvane", f"the window is named Orvane (is {frame.get_name()!r})")

        nodes = walk(frame, [])
        by_name = {}
        for node in nodes:
            by_name.setdefault((node.get_role(), node.get_name()), node)

        def one(role, name):
            node = by_name.get((role, name))
            check(node is not None, f"a {Atspi.role_get_name(role)} named {name!r}")
            return node

        boxes = {"Expression": "Combination:", "Answer": "Answer:",
                 "K or list of multiplicities": "K,ni:", "N": "N:"}
        for name, label in boxes.items():
            box = one(Atspi.Role.TEXT, name)
            if box:
                check(labels_of(box) == [label], f"{name!r} is labelled by {label!r} (by {labels_of(box)})")

        lists = [n for n in nodes if n.get_role() == Atspi.Role.COMBO_BOX]
        check(len(lists) == 1, "one combo box")
        if lists:
            check(labels_of(lists[0]) == ["Function"],
                  f"the function list is labelled 'Function' (by {labels_of(lists[0])}, named {lists[0].get_name()!r})")

        banner = one(Atspi.Role.IMAGE, "Orvane banner")
        check(banner is not None, "the banner is a named image")

        plus, times = one(Atspi.Role.PUSH_BUTTON, "+"), one(Atspi.Role.PUSH_BUTTON, "*")
        if plus and times:
            check(plus.get_description().startswith("Selected operator"),
                  f"'+' is described as selected ({plus.get_description()!r})")
            check(not times.get_description().startswith("Selected operator"),
                  f"'*' is not described as selected ({times.get_description()!r})")

        expression = by_name.get((Atspi.Role.TEXT, "Expression"))
        answer = by_name.get((Atspi.Role.TEXT, "Answer"))
        calculate = by_name.get((Atspi.Role.PUSH_BUTTON, "Calculate"))
        if not (expression and answer and calculate):
            check(False, "expression box, answer box and Calculate button found")
            return

        # What reaches a screen reader about the answer box: the writes of its
        # description and, from Qt 6.8, announcements. Qt 6.4 announces a
        # repeated failure by writing the same description again; later
        # versions send no event for an unchanged description and announce
        # instead (Qt 6.8 does both).
        heard = []
        listener = Atspi.EventListener.new(
            lambda event: heard.append((event.type, event.source.get_name() if event.source else None,
                                        event.any_data if isinstance(event.any_data, str) else None)))
        listener.register("object:property-change:accessible-description")
        listener.register("object:announcement")

        def described():
            return sum(1 for kind, source, _ in heard if kind.endswith("accessible-description") and source == "Answer")

        def announced(text):
            return sum(1 for kind, _, said in heard if kind.startswith("object:announcement") and said == text)

        def press(text):
            expression.get_editable_text_iface().set_text_contents(text)
            calculate.get_action_iface().do_action(0)

        def text_of(node):
            iface = node.get_text_iface()
            return Atspi.Text.get_text(iface, 0, Atspi.Text.get_character_count(iface))

        def settle():
            """Lets events still on their way arrive, then forgets them."""
            wait_for(lambda: False, 0.5)
            heard.clear()

        for attempt in ("first", "second"):
            settle()
            press("6/0")
            wait_for(lambda: described() or announced("Division by zero"), 5)
            wait_for(lambda: False, 0.3)
            told = announced("Division by zero")
            check(told == 1 or (told == 0 and described() == 1),
                  f"a {attempt} failed calculation announces its reason once "
                  f"(announced {told}, description written {described()})")
            check(answer.get_description() == "Division by zero",
                  f"the answer box gives the reason ({answer.get_description()!r})")
        settle()
        press("2*3")
        wait_for(lambda: text_of(answer) == "6" and (described() or announced("Answer: 6")), 5)
        check(text_of(answer) == "6", f"a good calculation shows its answer ({text_of(answer)!r})")
        check(answer.get_description() == "", f"and clears the reason ({answer.get_description()!r})")
        for typed, told in (("2^3", 'Not read: "^3"'), ("C(2,5)+1", "")):
            press(typed)
            wait_for(lambda: answer.get_description() == told, 5)
            check(answer.get_description() == told, f"{typed} describes the answer as {answer.get_description()!r}")
        notes = [node.get_name() for node in walk(app, []) if node.get_role() == Atspi.Role.NOTIFICATION
                 and node.get_state_set().contains(Atspi.StateType.SHOWING)]
        check(not notes, f"no note is shown while no screen reader runs ({notes})")

        times.get_action_iface().do_action(0)
        wait_for(lambda: times.get_description().startswith("Selected operator"), 5)
        check(times.get_description().startswith("Selected operator"), "after '*' is pressed it is selected")
        check(not plus.get_description().startswith("Selected operator"), "and '+' is no longer")
    finally:
        program.terminate()
        program.wait(10)
    print(f"{len(failures)} failed" if failures else "all checks passed")


main()
sys.exit(1 if failures else 0)
