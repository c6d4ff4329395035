"""The program copied into a folder of its own, started there as a person starts it."""

import grp
import os
import pwd
import resource
import shutil
import subprocess
import tempfile

from processes import end_process

NAME = "quillcount"
LEDGER_FILE = "QcEcV3.1.Txt"
PLAIN_COPY = "QcUcV3.1.Txt"
LOCK_FILE = LEDGER_FILE + ".lock"
PORTABLE_SUFFIX = "-linux-x86_64.tar.gz"
EXIT_WAIT = 30  # the shrinking window takes up to a second and a half before the end
OTHER_USER, OTHER_GROUP = "nobody", "nogroup"  # neither root nor whoever runs the tests


def other_account():
    """The uid and gid of OTHER_USER and OTHER_GROUP."""
    return pwd.getpwnam(OTHER_USER).pw_uid, grp.getgrnam(OTHER_GROUP).gr_gid


def state(path):
    """What is at path, a link not followed: enough to tell whether anything touched it."""
    s = os.lstat(path)
    return s.st_mode, s.st_uid, s.st_ino, s.st_size, s.st_mtime_ns


class Folder:
    """A fresh temporary folder (made in under, when given) holding a copy of the program,
    or the portable tarball unpacked as its user does; or, given, a folder of that name
    inside a fresh temporary one, or a folder already there (a file system's root)."""

    def __init__(self, binary, name=None, at=None, under=None):
        self.base = at or tempfile.mkdtemp(prefix="qc-e2e-", dir=under)
        self.path = os.path.join(self.base, name) if name else self.base
        if name:
            os.mkdir(self.path)
        for folder in {self.base, self.path}:
            os.chmod(folder, 0o755)  # the unprivileged user must reach the program
        if binary.endswith(PORTABLE_SUFFIX):  # its one folder's files, the program its launcher
            self.program = NAME
            subprocess.run(["tar", "-xzf", binary, "--strip-components=1", "-C", self.path],
                           check=True)
        else:
            self.program = NAME + os.path.splitext(binary)[1]  # quillcount.exe for Windows
            shutil.copy2(binary, os.path.join(self.path, self.program))
        self.shipped = set(os.listdir(self.path))

    def file(self, name):
        return os.path.join(self.path, name)

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def names(self):
        return sorted(n for n in os.listdir(self.path) if n not in self.shipped)

    def state(self):
        return {name: state(self.file(name)) for name in self.names()}

    def link(self, name, target, owner=None):
        """A symbolic link at name to target, owned by owner (uid, gid) when given."""
        os.symlink(target, self.file(name))
        if owner:
            os.lchown(self.file(name), *owner)

    def set_mode(self, mode):
        os.chmod(self.path, mode)

    def remove(self):
        if os.path.isdir(self.path):  # a scenario may have taken its file system away
            self.set_mode(0o755)
        shutil.rmtree(self.base, ignore_errors=True)


class Run:
    """One start of the program; ended by its id whatever happens to the test.

    unprivileged runs it as OTHER_USER when the tests run as root; file_size_limit (bytes)
    and umask are set for it as a shell's ulimit -f and umask would; closed_stderr starts
    it with its standard error closed, as `2>&-` does. launcher (a Wine, a CleanRoot) starts
    the program where it runs."""

    def __init__(self, folder, env, unprivileged=False, file_size_limit=None, umask=None,
                 closed_stderr=False, launcher=None):
        command = [folder.file(folder.program)]
        if launcher:
            command = launcher.command(command[0])
        if unprivileged and os.geteuid() == 0:
            command = ["setpriv", f"--reuid={OTHER_USER}", f"--regid={OTHER_GROUP}",
                       "--clear-groups", "--", *command]
        if file_size_limit is not None:
            command = ["prlimit", f"--fsize={file_size_limit}:unlimited", "--", *command]
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            command, cwd=folder.path, stdin=subprocess.DEVNULL, stdout=self.stderr,
            stderr=self.stderr, umask=-1 if umask is None else umask,
            preexec_fn=(lambda: os.close(2)) if closed_stderr else None,
            env=dict(env, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "detect_leaks=0")))
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def send(self, signum):
        self.process.send_signal(signum)

    def lift_file_size_limit(self):
        resource.prlimit(self.pid, resource.RLIMIT_FSIZE, (resource.RLIM_INFINITY,) * 2)

    def peak_memory(self):
        """The most memory the run has held so far, in bytes."""
        return int(self._proc_line("status", "VmHWM:").split()[1]) * 1024

    def core_file_limit(self):
        """The soft limit on the size of its core dumps, as the kernel shows it."""
        return self._proc_line("limits", "Max core file size").split()[4]

    def dumpable(self):
        """The kernel hands the files under a process's /proc folder (not the folder) to
        root once it is not dumpable; so this tells only for a run not made as root."""
        return os.stat(f"/proc/{self.pid}/status").st_uid != 0

    def _proc_line(self, name, start):
        with open(f"/proc/{self.pid}/{name}") as f:
            return next(line for line in f if line.startswith(start))

    def wait_exit(self, expected_code=0):
        try:
            code = self.process.wait(EXIT_WAIT)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {EXIT_WAIT} s")
        if expected_code is not None and code != expected_code:
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
