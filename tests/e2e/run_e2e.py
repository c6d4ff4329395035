#!/usr/bin/python3
"""End-to-end tests: the built program under Xvfb and openbox, driven as a person would.

Usage: run_e2e.py PROGRAM [SCENARIO...]
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # keep the source tree clean when CTest runs this

from adverse_scenarios import ADVERSE_SCENARIOS
from desktop import Desktop
from scenarios import SCENARIOS
from trial import Trial
from x_server import XServer


def main(argv):
    binary = os.path.abspath(argv[1])
    chosen = [s for s in SCENARIOS + ADVERSE_SCENARIOS
              if len(argv) < 3 or s.__name__ in argv[2:]]
    passed = failed = 0
    with XServer() as server:
        desktop = Desktop(server)
        try:
            for scenario in chosen:
                trial = Trial(binary, desktop)
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
        finally:
            desktop.close_connection()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not chosen else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
