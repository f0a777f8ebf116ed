#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The window under a window manager, driven by real key presses and clicks
(xdotool) and read back through the clipboard (xclip), as a hurried user
meets it: an operator click before typing on, Enter on a focused button, undo after
Add, the title bar's buttons, and a paste too long for the expression box.
    real_hands.py ORVANE_BINARY
Needs a display (tests/desktop/with-xvfb.sh --dpi 96), openbox, xdotool, xclip."""
import os
import subprocess
import sys

from checks import check, finish, wait_for

# Control centres in the window, at one pixel a point (96 dpi).
EXPRESSION = (128, 33)
ANSWER = (192, 65)
TIMES = (32, 96)
K_BOX = (160, 97)
LONGEST = 32766


def out(*cmd):
    return subprocess.run(cmd, capture_output=True, text=True, timeout=30).stdout


class Window:
    def __init__(self, binary):
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_QPA_PLATFORMTHEME="")
        self.process = subprocess.Popen([binary], env=env)
        self.id = out("xdotool", "search", "--sync", "--onlyvisible", "--name", "^Orvane$").split()[0]
        out("xdotool", "windowactivate", "--sync", self.id)

    def click(self, point):
        out("xdotool", "mousemove", "--window", self.id, str(point[0]), str(point[1]), "click", "1")

    def keys(self, *keys):
        out("xdotool", "key", "--delay", "60", *keys)

    def type(self, text):
        out("xdotool", "type", "--delay", "40", text)

    def text_of(self, point, expected):
        """The box's text, copied as a user would; waits for the expected one."""
        def copy():
            self.click(point)
            self.keys("ctrl+a", "ctrl+c")
            return out("xclip", "-o", "-selection", "clipboard")
        got = wait_for(lambda: (t := copy()) == expected and t, 5)
        return got if got else copy()

    def close(self):
        self.process.terminate()
        self.process.wait(10)


def offer_clipboard(text):
    """Puts text on the clipboard, held by an xclip in the foreground until it is ended."""
    holder = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", "clipboard"], stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    holder.stdin.write(text.encode())
    holder.stdin.close()
    wait_for(lambda: out("xclip", "-o", "-selection", "clipboard") == text, 5)
    return holder


def main():
    wm = subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL)
    holders = []
    try:
        wait_for(lambda: "window id" in out("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
        window = Window(sys.argv[1])

        # The title bar: no maximise, no resize, as the window manager sees it.
        hints = out("xprop", "-id", window.id, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
        functions = int(hints[1], 0) if len(hints) > 1 else None
        check(functions is not None and not functions & 0x1 and not functions & (0x2 | 0x10),
              f"the window offers neither resize nor maximise (functions {functions})")
        allowed = out("xprop", "-id", window.id, "_NET_WM_ALLOWED_ACTIONS")
        check("_NET_WM_ACTION_CLOSE" in allowed and "MAXIMIZE" not in allowed and "RESIZE" not in allowed,
              f"the window manager allows no maximise or resize ({allowed.strip()})")

        # A click on an operator, then typing on: the expression stays.
        window.click(EXPRESSION)
        window.type("C(2,5)")
        window.click(TIMES)
        window.type("7")
        check(window.text_of(EXPRESSION, "C(2,5)7") == "C(2,5)7", "typing after a click on '*' adds to the expression")

        # The same from the keyboard: Space on '*', the focus moves to '+', typing goes nowhere.
        window.click(EXPRESSION)
        window.keys("ctrl+a")
        window.type("2*3")
        window.keys(*["Tab"] * 7)  # answer, Calculate, k, n, function list, Add, "+"
        window.keys("space", "space")  # '+' chosen, then '*' again from the focus it gave
        window.type("7")
        check(window.text_of(EXPRESSION, "2*3") == "2*3", "typing after Space on an operator leaves the expression")

        # Enter and keypad Enter on the focused Calculate and Add buttons; Enter in the k box does nothing.
        window.click(EXPRESSION)
        window.keys("End", "Tab", "Tab", "Return")
        check(window.text_of(ANSWER, "6") == "6", "Enter on Calculate calculates")
        window.click(K_BOX)
        window.keys("Return")
        check(window.text_of(EXPRESSION, "2*3") == "2*3", "Enter in the k box adds nothing")
        window.click(K_BOX)
        window.keys("Tab", "Tab", "Tab", "KP_Enter")  # n box, function list, Add
        check(window.text_of(EXPRESSION, "2*3*C(1,1)") == "2*3*C(1,1)", "keypad Enter on Add adds a term")

        # Undo takes the Add back, with the typing before it; both redo keys bring it again.
        for keys, expected in (("ctrl+z", "2*3"), ("ctrl+shift+z", "2*3*C(1,1)"), ("ctrl+z", "2*3"),
                               ("ctrl+y", "2*3*C(1,1)"), ("ctrl+z ctrl+z", "C(2,5)7")):
            window.click(EXPRESSION)
            window.keys(*keys.split())
            check(window.text_of(EXPRESSION, expected) == expected, f"{keys} after Add leaves {expected!r}")

        # A paste that would not fit is refused whole.
        window.click(EXPRESSION)
        window.keys("ctrl+a")
        window.type("1+")
        holders.append(offer_clipboard("1" * (LONGEST - 1)))
        window.keys("End", "ctrl+v")
        check(window.text_of(EXPRESSION, "1+") == "1+", "a paste one character too long leaves the expression")
        holders.append(offer_clipboard("1" * (LONGEST - 2)))
        window.keys("End", "ctrl+v")
        text = window.text_of(EXPRESSION, "1+" + "1" * (LONGEST - 2))
        check(len(text) == LONGEST, f"a paste that just fits is taken whole ({len(text)} characters)")
        window.close()
    finally:
        for holder in holders:
            holder.kill()
            holder.wait()
        wm.terminate()
        wm.wait(10)


main()
finish()
