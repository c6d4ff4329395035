"""The program as a native Wayland client, under a compositor that places windows itself
and has no keyboard or pointer to offer: the PIN window is shown, the request to centre
it is outlived, and a SIGTERM ends the program at once with nothing written."""

import os
import re
import shutil
import signal
import time

from program import LEDGER_FILE
from trial import ends
from user import PIN_WINDOW

STORED_LEDGER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fuzz",
                             "corpus", "ledger_file", "pin7295")
SHOWN_WAIT = 20
SETTLE = 0.5  # the centring is asked for as the window shows
AT_ONCE = 0.5  # well under the 1.5 s the exit sequence may take


def shown(run, caption):
    """Waits until the compositor has put the window titled caption on an output, as the
    protocol log of the run shows."""
    title = re.compile(r"xdg_toplevel@\d+\.set_title\(" + re.escape(f'"{caption}"') + r"\)")
    deadline = time.monotonic() + SHOWN_WAIT
    while True:
        log = run.printed()
        titled = title.search(log)
        if titled and re.search(r"wl_surface@\d+\.enter\(wl_output@", log[titled.end():]):
            return
        if time.monotonic() > deadline or not run.running():
            raise AssertionError(f"the compositor did not show {caption!r}")
        time.sleep(0.1)


def pin_window_then_sigterm(t):
    for stored in (None, STORED_LEDGER):
        folder = t.folder()
        if stored:
            shutil.copy(stored, folder.file(LEDGER_FILE))
        before = folder.state()
        user = t.start(folder, env={"WAYLAND_DEBUG": "client"})
        shown(user.run, PIN_WINDOW)
        time.sleep(SETTLE)
        assert user.run.running(), "the program did not outlive the request to centre"
        began = time.monotonic()
        user.run.send(signal.SIGTERM)
        ends(user, folder)
        took = time.monotonic() - began
        assert took < AT_ONCE, f"a SIGTERM took {took:.1f} s to end the program"
        assert folder.state() == before, "a SIGTERM at the PIN window touched the folder"


WAYLAND_SCENARIOS = [pin_window_then_sigterm]
