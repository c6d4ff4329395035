"""What a person does at the desktop: look for windows by caption, click, type, close.

Keys and clicks go through XTEST (xdotool without --window), so the program receives
the same events a keyboard and a mouse would send; windows are closed through the
window manager's close request, as its close button does. Places and sizes are in the
program's own pixels, whatever the scale of the screen.
"""

import subprocess
import time

from Xlib import display as xdisplay
from Xlib.error import ConnectionClosedError

WINDOW_WAIT = 20  # generous: a sanitizer build starts and paints slowly
KEY_DELAY_MS = "40"
REGEX_SPECIALS = set(".^$*+?()[]{}|\\")


class Desktop:
    def __init__(self, server, scale=1):
        self.env = server.env
        self.scale = scale
        self.x = xdisplay.Display(server.display)

    def close_connection(self):
        try:
            self.x.close()
        except ConnectionClosedError:
            pass  # the X server is gone already

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True, timeout=WINDOW_WAIT)

    def _do(self, *args):
        result = self._xdotool(*args)
        if result.returncode != 0:
            raise AssertionError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self, caption, pid):
        """Ids of the visible windows of process pid whose caption is exactly caption."""
        pattern = "^" + "".join("\\" + c if c in REGEX_SPECIALS else c for c in caption) + "$"
        found = self._xdotool("search", "--all", "--onlyvisible", "--pid", str(pid),
                              "--name", pattern)
        return [int(w) for w in found.stdout.split()
                if self._xdotool("getwindowname", w).stdout.rstrip("\n") == caption]

    def wait_window(self, caption, pid, timeout=WINDOW_WAIT):
        deadline = time.monotonic() + timeout
        while True:
            found = self.windows(caption, pid)
            if found:
                return found[0]
            if time.monotonic() > deadline:
                raise AssertionError(f"no window {caption!r} within {timeout} s")
            time.sleep(0.1)

    def wait_no_window(self, caption, pid, timeout=WINDOW_WAIT):
        deadline = time.monotonic() + timeout
        while self.windows(caption, pid):
            if time.monotonic() > deadline:
                raise AssertionError(f"window {caption!r} still shown after {timeout} s")
            time.sleep(0.1)

    def activate(self, wid):
        self._do("windowactivate", "--sync", str(wid))

    def _geometry(self, wid):
        return self.x.create_resource_object("window", wid).get_geometry()

    def size(self, wid):
        geometry = self._geometry(wid)
        return geometry.width // self.scale, geometry.height // self.scale

    def picture(self, wid):
        """What window wid shows: rows of (red, green, blue), one a pixel of the screen."""
        geometry = self._geometry(wid)
        width, height = geometry.width, geometry.height
        raw = subprocess.run(["import", "-window", str(wid), "-depth", "8", "rgb:-"],
                             env=self.env, capture_output=True, check=True,
                             timeout=WINDOW_WAIT).stdout
        pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
        return [pixels[row * width:(row + 1) * width] for row in range(height)]

    def click(self, wid, x, y):
        """Left click at (x, y) inside the client area of window wid."""
        self.activate(wid)
        self._do("mousemove", "--window", str(wid), str(x * self.scale), str(y * self.scale))
        self._do("click", "1")

    def type(self, text):
        self._do("type", "--delay", KEY_DELAY_MS, text)

    def key(self, *keys):
        self._do("key", "--delay", KEY_DELAY_MS, *keys)

    def close(self, wid):
        subprocess.run(["wmctrl", "-i", "-c", hex(wid)], env=self.env, check=True,
                       timeout=WINDOW_WAIT)

    def frame_rect(self, wid):
        """Left, top, width and height on the screen of the window with its frame."""
        window = self.x.create_resource_object("window", wid)
        geometry = self._geometry(wid)
        origin = window.translate_coords(self.x.screen().root, 0, 0)
        extents = window.get_full_property(self.x.intern_atom("_NET_FRAME_EXTENTS"), 0)
        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
        return (-origin.x - left, -origin.y - top,
                geometry.width + left + right, geometry.height + top + bottom)
