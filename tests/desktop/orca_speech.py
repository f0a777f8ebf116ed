#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs the screen reader itself against the window and checks what a user
hears: Orca writes every phrase it speaks to its debug file as a "SPEECH
OUTPUT" line, also when no synthesizer can be reached, which is how it runs
here. (Turning its speech off instead, with -d speech, also drops the
messages that it presents outside its speech generator, among them the
toolkit's announcements, so the log would not be what a user hears.) Keys
come from xdotool, as from a keyboard; the accessibility bus is switched on
as a desktop does it.
    orca_speech.py ORVANE_BINARY
Needs a display and a D-Bus session (tests/desktop/with-xvfb.sh --dbus),
openbox, orca, xdotool and xclip."""
import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from datetime import datetime

from checks import check, failures, finish, wait_for

SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'\s*\{?")
# Orca stamps each line of its debug output with the time of day at which it
# wrote it, so that the delay of speech is Orca's own, whenever the test
# reads the line.
STAMPED = re.compile(r"(?:(\d\d):(\d\d):(\d\d\.\d+) - )?SPEECH OUTPUT: '(.*?)'\s*\{?")
# The longest a user may wait after the key for the answer or the reason.
LONGEST_DELAY = 2.0


class Listener:
    """What Orca has spoken so far, read from its debug output. Orca writes
    that to a file through a buffer that fills only after several events; to
    a terminal it writes each line at once, so it gets a terminal of its own
    and the debug file is that terminal."""

    def __init__(self):
        self.master, self.terminal = pty.openpty()
        self.text = ""
        self.lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except OSError:
                return
            if not chunk:
                return
            with self.lock:
                self.text += chunk.decode("utf-8", "replace")

    def output(self):
        with self.lock:
            return self.text

    def heard(self):
        return SPOKEN.findall(self.output())

    def says(self, pattern, since):
        return [p for p in self.heard()[since:] if re.search(pattern, p)]

    def spoken_at(self, pattern, since):
        """Seconds since the epoch at which Orca spoke the first phrase after
        since that matches, by its own stamp; None if it has not."""
        for hours, minutes, seconds, phrase in STAMPED.findall(self.output())[since:]:
            if re.search(pattern, phrase) and hours:
                midnight = datetime.now().replace(hour=0, minute=0, second=0, microsecond=0).timestamp()
                return midnight + int(hours) * 3600 + int(minutes) * 60 + float(seconds)
        return None


def start_orca(env, listener, started):
    """Orca refuses to start while another one runs for the same user, even
    on another display, so a second run of this test waits its turn."""
    def up():
        # Orca 43 and 48 say it in other words.
        return re.search("Startup complete|Starting Atspi main event loop", listener.output())

    def ended(process):
        return process.poll() is not None

    deadline = time.monotonic() + 150
    while time.monotonic() < deadline:
        orca = subprocess.Popen(["orca", "--debug-file", "/dev/stdout"], env=env,
                                stdout=listener.terminal, stderr=subprocess.DEVNULL)
        wait_for(lambda: up() or ended(orca), 30)
        if up():
            started.append(orca)
            return True
        if not ended(orca):
            orca.terminate()
        orca.wait(10)
        wait_for(lambda: False, 1)
    return False


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def main():
    for tool in ("openbox", "orca", "xdotool", "xclip", "dbus-send"):
        if not shutil.which(tool):
            print(f"{tool} is missing")
            sys.exit(1)
    home = tempfile.mkdtemp()
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config", XDG_DATA_HOME=f"{home}/data",
               XDG_CACHE_HOME=f"{home}/cache")
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    # No synthesizer: the speech client finds no server and may start none.
    env["SPEECHD_CMD"] = "/nonexistent/speech-dispatcher"
    started = []
    try:
        started.append(subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL))
        wait_for(lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout)
        # What a desktop's accessibility switch does: the bus launcher tells
        # every program that starts afterwards that assistive technology runs.
        run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:IsEnabled",
             "variant:boolean:true"], env=env)
        listener = Listener()
        check(start_orca(env, listener, started), "the screen reader starts")

        app_env = dict(env, QT_QPA_PLATFORM="xcb", QT_QPA_PLATFORMTHEME="")
        started.append(subprocess.Popen([sys.argv[1]], env=app_env))
        run(["xdotool", "search", "--sync", "--name", "^Orvane$"], env=env, timeout=30)
        check(wait_for(lambda: listener.says("Combination", 0), 30), "the expression box is announced at start")

        def step(keys, phrase, what, typed=None, prompt=False):
            """Types, presses keys, and waits until Orca says what matches
            phrase. prompt: it must come within LONGEST_DELAY of the last key,
            with no other key pressed."""
            if typed is not None:
                run(["xdotool", "key", "ctrl+a"], env=env)
                run(["xdotool", "type", "--delay", "40", typed], env=env)
                wait_for(lambda: False, 0.3)
            since = len(listener.heard())
            pressed = time.time() + 0.15 * (len(keys) - 1)
            run(["xdotool", "key", "--delay", "150", *keys], env=env)
            said = wait_for(lambda: listener.says(phrase, since), 30)
            check(bool(said), f"{what}: heard {said or listener.heard()[since:]}")
            if prompt and said:
                # From the key, or from when Orca echoed it if Orca itself
                # was behind: on a busy machine its own queue can hold the
                # key for seconds, and what the window sent waits in it too.
                spoken = listener.spoken_at(phrase, since) or time.time()
                echoed = listener.spoken_at("^return", since) or pressed
                delay = max(0.0, spoken - max(pressed, echoed))
                check(delay < LONGEST_DELAY,
                      f"{what}: spoken {delay:.2f} s after Orca took the key ({spoken - pressed:.2f} s after it was pressed)")
            # What else this step brings is spoken within moments; it must
            # not be taken for the next step's.
            wait_for(lambda: False, 0.3)

        step(["Return"], "Answer: 10", "the first answer", typed="C(2,5)", prompt=True)
        step(["Return"], "Answer: 6", "an answer", typed="2*3", prompt=True)
        step(["Return"], r"Answer: 2\. Not read: \^3", "what was not read, after the answer", typed="2^3", prompt=True)
        step(["Return"], r"Answer: 28\. Not read: x, z, r, s, u and 2 more", "many pieces not read",
             typed="1x+2yy+3z+4qq+5r+6s+7u", prompt=True)
        step(["Return"], "Division by zero", "a failure's reason", typed="6/0", prompt=True)
        step(["Return"], "Division by zero", "the same failure again", prompt=True)
        step(["Return"], "Answer: 10", "an answer after a failure", typed="C(2,5)", prompt=True)
        step(["ctrl+Return"], "Answer: 10", "Ctrl+Enter", prompt=True)
        # xclip in the foreground holds the clipboard until it is ended.
        holder = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", "clipboard"], env=env,
                                  stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        started.append(holder)
        holder.stdin.write(b"1" * 32767)
        holder.stdin.close()
        wait_for(lambda: len(subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=env,
                                            capture_output=True).stdout) == 32767)
        step(["ctrl+a", "ctrl+v"], "Not inserted: the expression cannot be longer than 32766", "a paste too long")
        # Expression box, answer box, Calculate.
        step(["Tab", "Tab", "Return"], "Answer: 10", "Enter on the Calculate button", prompt=True)
        # Orca 48 says the item itself ("Function C combo box C"); for Orca 43
        # the window announces it. Calculate, k box, n box, function list.
        # On a change, Orca 51 says only the new item: the list's name was
        # said when it took the focus.
        step(["Tab"] * 3, "Function,? C\\b", "the function list on focus")
        step(["Down"], "(^|Function,? )TotalC\\b", "the function list on change")
        step(["Tab", "Tab"], "^\\* ", "the enabled operator button")
        step(["space"], "Multiply selected", "choosing '*'")
        step(["space"], "Add selected", "choosing '+' from the button that took the focus")
    finally:
        for process in reversed(started):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        if failures and "listener" in locals():
            print("".join(f"  heard: {p}\n" for p in listener.heard()))
            if os.environ.get("ORCA_DEBUG_COPY"):
                with open(os.environ["ORCA_DEBUG_COPY"], "w") as copy:
                    copy.write(listener.output())
        shutil.rmtree(home, ignore_errors=True)


main()
finish()
