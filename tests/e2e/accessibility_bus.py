"""A session D-Bus with the accessibility bus on it, as on a desktop where a screen reader
runs. The launcher's own bus and registry end with the launcher."""

import shutil
import subprocess
import tempfile
import time

from processes import Started, end_process, read_within

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
START_WAIT = 15


class AccessibilityBus(Started):
    def __init__(self, env):
        self.dbus = self.launcher = None
        # The buses' sockets go here, not into the user's own runtime folder.
        self.runtime_dir = tempfile.mkdtemp(prefix="qc-bus-")
        self.env = dict(env, XDG_RUNTIME_DIR=self.runtime_dir)

    def start(self):
        self.dbus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=self.env,
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        address = read_within(self.dbus.stdout.fileno(), START_WAIT).strip()
        if not address:
            raise RuntimeError("the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        # Started here rather than activated by the bus, so that it is ours to end; the
        # screen reader's flag makes toolkits turn their bridge on.
        self.launcher = subprocess.Popen(
            [LAUNCHER, "--launch-immediately", "--a11y=1", "--screen-reader=1"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + START_WAIT
        while not self._launched():
            if time.monotonic() > deadline or self.launcher.poll() is not None:
                raise RuntimeError("the accessibility bus did not start")
            time.sleep(0.1)

    def _launched(self):
        reply = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
             "string:org.a11y.Bus"], env=self.env, capture_output=True, text=True,
            timeout=START_WAIT)
        return "boolean true" in reply.stdout

    def __exit__(self, *exc):
        for process in (self.launcher, self.dbus):
            if process:
                end_process(process)
        if self.dbus:
            self.dbus.stdout.close()
        shutil.rmtree(self.runtime_dir, ignore_errors=True)
