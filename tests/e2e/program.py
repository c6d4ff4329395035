"""The program copied into a folder of its own, started there as a person starts it."""

import os
import shutil
import signal
import subprocess
import tempfile

from processes import end_process

NAME = "quillcount"
LEDGER_FILE = "QcEcV3.1.Txt"
PLAIN_COPY = "QcUcV3.1.Txt"
LOCK_FILE = LEDGER_FILE + ".lock"
EXIT_WAIT = 30  # the shrinking window takes up to a second and a half before the end


class Folder:
    """A fresh temporary folder holding a copy of the program."""

    def __init__(self, binary):
        self.path = tempfile.mkdtemp(prefix="qc-e2e-")
        os.chmod(self.path, 0o755)  # the unprivileged user must reach the program
        shutil.copy2(binary, os.path.join(self.path, NAME))

    def file(self, name):
        return os.path.join(self.path, name)

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def names(self):
        return sorted(n for n in os.listdir(self.path) if n != NAME)

    def set_mode(self, mode):
        os.chmod(self.path, mode)

    def remove(self):
        self.set_mode(0o755)
        shutil.rmtree(self.path, ignore_errors=True)


class Run:
    """One start of the program; ended by its id whatever happens to the test."""

    def __init__(self, folder, env, unprivileged=False):
        command = [folder.file(NAME)]
        if unprivileged and os.geteuid() == 0:
            command = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                       "--", *command]
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            command, cwd=folder.path, stdin=subprocess.DEVNULL, stdout=self.stderr,
            stderr=self.stderr,
            env=dict(env, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "detect_leaks=0")))
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def terminate(self):
        self.process.send_signal(signal.SIGTERM)

    def hang_up(self):
        self.process.send_signal(signal.SIGHUP)

    def wait_exit(self, expected_code=0):
        try:
            code = self.process.wait(EXIT_WAIT)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {EXIT_WAIT} s")
        if code != expected_code:
            raise AssertionError(f"exit code {code}, expected {expected_code}; "
                                 f"output: {self.output()}")

    def printed(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def output(self):
        return self.printed()[-2000:]

    def end(self):
        end_process(self.process)
        self.stderr.close()
