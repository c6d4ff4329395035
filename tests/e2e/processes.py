"""Ending the processes a test started, by their id, within a bounded time."""

import subprocess

END_WAIT = 10


def end_process(process):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(END_WAIT)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(END_WAIT)
