"""A headless Wayland compositor, started once for a whole test run. It has no seat: no
keyboard or pointer reaches its clients."""

import os
import shutil
import subprocess
import tempfile
import time

from processes import Started, end_process

SOCKET = "qc-wayland"
START_WAIT = 15


class Weston(Started):
    def __init__(self, screen, env):
        self.width, self.height = screen.split("x")[:2]
        # A Wayland client has no X display to fall back on.
        self.env = {k: v for k, v in env.items() if k != "DISPLAY"}
        self.weston = None
        self.runtime_dir = tempfile.mkdtemp(prefix="qc-wayland-")

    def start(self):
        self.env.update(XDG_RUNTIME_DIR=self.runtime_dir, WAYLAND_DISPLAY=SOCKET,
                        QT_QPA_PLATFORM="wayland")
        self.weston = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={SOCKET}", "--idle-time=0",
             f"--width={self.width}", f"--height={self.height}"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + START_WAIT
        while not os.path.exists(os.path.join(self.runtime_dir, SOCKET)):
            if time.monotonic() > deadline or self.weston.poll() is not None:
                raise RuntimeError("weston did not start")
            time.sleep(0.1)

    def __exit__(self, *exc):
        if self.weston:
            end_process(self.weston)
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
