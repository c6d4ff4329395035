"""Debian's Wine for the end-to-end runs of quillcount.exe: a throwaway Wine prefix for a
whole test run (made and removed by tests/wine/wine_run, as for the test executables),
the environment the program runs in there, and the desktop's own tools: taskkill, and
the log-off that wineboot --end-session makes."""

import os
import shutil
import subprocess
import tempfile

from processes import Started

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "wine", "wine_run")
WINE = "/usr/lib/wine/wine64"
TOOL_WAIT = 60


class Wine(Started):
    temp = None  # the program's folders are this machine's own

    def __init__(self, env):
        self.base = tempfile.mkdtemp(prefix="qc-wine-")
        self.prefix = os.path.join(self.base, "prefix")
        # Wine hands a program no QT_* variable, but WINEQT_* without the prefix; the
        # platform is Wine's own (windows), not the X one the Linux runs name.
        self.env = {k: v for k, v in env.items() if not k.startswith("QT_")}
        self.env.update({"WINE" + k: v for k, v in env.items()
                         if k.startswith("QT_") and k != "QT_QPA_PLATFORM"})
        self.env.update(WINEPREFIX=self.prefix, WINEARCH="win64",
                        WINEDEBUG=env.get("WINEDEBUG", "-all"),
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEQT_FORCE_STDERR_LOGGING="1")
        self.drives = {}  # folder: its drive letter

    def start(self):
        self._wine_run("--new")

    def __exit__(self, *exc):
        self._wine_run("--end")
        shutil.rmtree(self.base, ignore_errors=True)

    def _wine_run(self, what):
        result = subprocess.run([WINE_RUN, self.prefix, what], env=self.env,
                                capture_output=True, text=True, timeout=TOOL_WAIT * 3)
        if result.returncode != 0:
            raise RuntimeError(f"wine_run {what} failed: {result.stdout}{result.stderr}")

    def map_drive(self, letter, folder):
        """folder becomes the drive letter (q:): a program there starts from its root."""
        os.symlink(folder, os.path.join(self.prefix, "dosdevices", letter))
        self.drives[folder] = letter.upper()

    def command(self, program):
        """The command that starts program, a Windows program file, in the prefix. Its
        process is the program's own: Wine runs it in the process started."""
        letter = self.drives.get(os.path.dirname(program))
        return [WINE, f"{letter}\\{os.path.basename(program)}" if letter else program]

    def tool(self, *command):
        """Runs one of Wine's own programs (taskkill, wineboot) in the prefix; what it
        printed."""
        result = subprocess.run([WINE, *command], env=self.env, capture_output=True,
                                text=True, timeout=TOOL_WAIT)
        if result.returncode != 0:
            raise AssertionError(f"{' '.join(command)}: exit status {result.returncode}: "
                                 f"{(result.stdout + result.stderr).strip()}")
        return result.stdout

    def taskkill(self, image, force):
        """taskkill /IM image: a close request to its windows, or with force (/F) the
        process ended at once, as Task Manager's End task does."""
        self.tool("taskkill", *(["/F"] if force else []), "/IM", image)

    def log_off(self):
        """The session ends as at a log-off: every program is asked, then told."""
        self.tool("wineboot", "--end-session")
