#!/usr/bin/python3
"""Runs a command in one of the end-to-end tests' desktop sessions: window tests that
need its display, theme or compositor.

Usage: within.py SESSION COMMAND [ARGUMENT...]
"""

import subprocess
import sys
from contextlib import ExitStack

sys.dont_write_bytecode = True  # keep the source tree clean when CTest runs this

from sessions import SESSIONS


def main(argv):
    with ExitStack() as stack:
        _, env, _ = SESSIONS[argv[1]].start(stack)
        return subprocess.run(argv[2:], env=env).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
