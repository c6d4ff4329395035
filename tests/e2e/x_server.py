"""A private X display with a window manager: one for a whole test run, and one of its
own for a scenario that takes its display away."""

import os
import signal
import subprocess
import time

from processes import Started, end_process, read_within

SCREEN = "1024x768x24"
START_WAIT = 15


class XServer(Started):
    def __init__(self, screen=SCREEN, env=None, window_manager=True):
        self.screen = screen
        self.env = os.environ if env is None else env
        self.with_window_manager = window_manager
        self.xvfb = self.wm = None

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        read_end, write_end = os.pipe()
        # -displayfd lets Xvfb take a free display number and tells us once it accepts
        # clients. -ac because one test runs the program as another user, who holds no
        # cookie; -nolisten tcp keeps the display to this machine.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-ac", "-nolisten", "tcp",
             "-screen", "0", self.screen],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = read_within(read_end, START_WAIT).strip()
        os.close(read_end)
        if not number:
            raise RuntimeError("Xvfb did not report a display")
        self.display = ":" + number
        self.env = dict(self.env, DISPLAY=self.display)
        if not self.with_window_manager:
            return
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + START_WAIT
        while subprocess.run(["wmctrl", "-m"], env=self.env, capture_output=True,
                             timeout=START_WAIT).returncode != 0:
            if time.monotonic() > deadline:
                raise RuntimeError("the window manager did not start (exit status "
                                   f"{self.wm.poll()})")
            time.sleep(0.1)

    def crash(self):
        """The display goes away at once, as when the X server dies."""
        self.xvfb.send_signal(signal.SIGKILL)
        self.xvfb.wait()

    def stop(self):
        for process in (self.wm, self.xvfb):
            if process:
                end_process(process)

