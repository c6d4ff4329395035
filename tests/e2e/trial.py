"""What one scenario starts: its folders, program runs and displays of its own, all ended
when it is over."""

from desktop import Desktop
from program import LEDGER_FILE, LOCK_FILE, Folder, Run
from user import User
from x_server import XServer


class Trial:
    def __init__(self, binary, env, desktop, reader=None, launcher=None):
        self.binary = binary
        self.env = env
        self.desktop = desktop
        self.reader = reader
        self.launcher = launcher  # a Wine, or the CleanRoot of the portable program
        self.folders = []
        self.runs = []
        self.servers = []
        self.desktops = []

    def folder(self, name=None, at=None):
        folder = Folder(self.binary, name, at, self.launcher and self.launcher.temp)
        self.folders.append(folder)
        return folder

    def own_display(self):
        """An X server and its desktop for this scenario alone, to be taken away."""
        server = XServer(env=self.env).__enter__()
        self.servers.append(server)
        desktop = Desktop(server)
        self.desktops.append(desktop)
        return server, desktop

    def start(self, folder, unprivileged=False, desktop=None, env=None, **limits):
        """A run of the program in folder, on the session's display or desktop's, with env
        added to the session's environment; limits as Run takes them."""
        base = desktop.env if desktop else self.env
        run = Run(folder, dict(base, **(env or {})), unprivileged,
                  launcher=self.launcher, **limits)
        self.runs.append(run)
        return User(desktop or self.desktop, run)

    def outputs(self):
        return [run.output() for run in self.runs if run.output().strip()]

    def end(self):
        for run in self.runs:
            run.end()
        for desktop in self.desktops:
            desktop.close_connection()
        for server in self.servers:
            server.stop()
        for folder in self.folders:
            folder.remove()


def ends(user, folder, code=0):
    """The run ends with code and leaves no lock behind."""
    user.run.wait_exit(code)
    assert LOCK_FILE not in folder.names(), "the lock file was left behind"


def check_bytes(actual, expected, what):
    if actual == expected:
        return
    at = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b),
              min(len(actual), len(expected)))
    raise AssertionError(f"{what}: {len(actual)} bytes, expected {len(expected)}; first "
                         f"difference at {at}: {actual[at:at + 40]!r} "
                         f"instead of {expected[at:at + 40]!r}")


def check_ledger_file(folder, expected):
    stored = folder.read(LEDGER_FILE)
    assert len(stored) == expected.ledger_file_size(), (
        f"ledger file of {len(stored)} bytes, expected {expected.ledger_file_size()}")
    assert stored.endswith(b"\r\n"), "the ledger file does not end in CR LF"
    assert expected.text.encode("cp1252") not in stored, "the ledger was stored in clear"
    return stored
