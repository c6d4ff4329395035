#!/usr/bin/python3
"""End-to-end tests: the built program in a desktop session, driven as a person would.

Usage: run_e2e.py [--session NAME] PROGRAM [SCENARIO...]   (NAME defaults to openbox)
       run_e2e.py --wine PROGRAM.exe [SCENARIO...]
       run_e2e.py --clean-root ROOT TARBALL [SCENARIO...]

--wine runs a Windows build of the program under Wine (the session "wine"); --clean-root
unpacks the portable tarball in ROOT, a Debian root with no Qt (made by scripts/linux),
and runs it there (the session "clean_root").
"""

import os
import sys
import time
from contextlib import ExitStack

sys.dont_write_bytecode = True  # keep the source tree clean when CTest runs this

from desktop import Desktop
from screen_reader import ScreenReader
from sessions import SESSIONS
from trial import Trial
from x_server import XServer


def main(argv):
    name, launcher_args = "openbox", []
    if argv[1:2] == ["--session"]:
        name, argv = argv[2], argv[:1] + argv[3:]
    elif argv[1:2] == ["--wine"]:
        name, argv = "wine", argv[:1] + argv[2:]
    elif argv[1:2] == ["--clean-root"]:
        name, launcher_args, argv = "clean_root", argv[2:3], argv[:1] + argv[3:]
    session = SESSIONS[name]
    binary = os.path.abspath(argv[1])
    chosen = [s for s in session.scenarios if len(argv) < 3 or s.__name__ in argv[2:]]
    passed = failed = 0
    with ExitStack() as stack:
        server, env, launcher = session.start(stack, *launcher_args)
        desktop = None
        if isinstance(server, XServer):
            desktop = Desktop(server, session.scale)
            stack.callback(desktop.close_connection)
        reader = None
        if session.screen_reader:
            reader = ScreenReader(env)
        for scenario in chosen:
            trial = Trial(binary, env, desktop, reader, launcher)
            began = time.monotonic()
            try:
                scenario(trial)
                verdict, passed = "PASS", passed + 1
            except Exception as error:
                verdict, failed = f"FAIL: {type(error).__name__}: {error}", failed + 1
                for output in trial.outputs():
                    print("  program output: " + output.strip().replace("\n", "\n  "))
            finally:
                trial.end()
            print(f"{scenario.__name__} ({time.monotonic() - began:.1f} s) {verdict}",
                  flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not chosen else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
