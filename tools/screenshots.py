#!/usr/bin/python3
"""Screenshots of the three windows, taken under Xvfb, for the README.

Usage: screenshots.py PROGRAM [FOLDER]   (FOLDER defaults to docs/screenshots)
"""

import os
import subprocess
import sys
import time
from contextlib import ExitStack

sys.dont_write_bytecode = True
# The end-to-end tests' desktop and user, which this tool drives the same way.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from desktop import Desktop
from sessions import SESSIONS
from trial import Trial, ends
from user import CHANGE_PIN_WINDOW, LEDGER_WINDOW, PIN_FIELD, PIN_WINDOW

SETTLE = 0.5  # let the window finish painting before the picture
BOOKINGS = [("1250", True), ("42.50", False), ("19.99", False), ("300", True)]


def shoot(desktop, wid, path):
    time.sleep(SETTLE)
    left, top, width, height = desktop.frame_rect(wid)
    subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}",
                    "+repage", path], env=desktop.env, check=True, timeout=30)
    print(path)


def main(argv):
    binary = os.path.abspath(argv[1])
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[2] if len(argv) > 2 else os.path.normpath(
        os.path.join(here, "..", "..", "docs", "screenshots"))
    os.makedirs(out, exist_ok=True)
    with ExitStack() as stack:
        server, env, _ = SESSIONS["openbox"].start(stack)
        desktop = Desktop(server)
        trial = Trial(binary, env, desktop)
        try:
            folder = trial.folder()
            user = trial.start(folder)
            window = user.window(PIN_WINDOW)
            desktop.click(window, *PIN_FIELD)
            desktop.type("12")
            shoot(desktop, window, os.path.join(out, "pin-window.png"))

            desktop.type("34")
            desktop.key("Return")
            ledger = user.window(LEDGER_WINDOW)
            for amount, credit in BOOKINGS:
                user.book(ledger, amount, credit)
            shoot(desktop, ledger, os.path.join(out, "ledger-window.png"))

            user.menu(ledger, "c")
            window = user.window(CHANGE_PIN_WINDOW)
            desktop.activate(window)
            desktop.type("1234")
            desktop.key("Return")
            desktop.type("5678")
            desktop.key("Return")
            shoot(desktop, window, os.path.join(out, "change-pin-window.png"))

            desktop.close(window)
            user.exit_no_encrypt(user.window(LEDGER_WINDOW))
            ends(user, folder)
        finally:
            trial.end()
            desktop.close_connection()


if __name__ == "__main__":
    main(sys.argv)
