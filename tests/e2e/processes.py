"""Ending the processes a test started, by their id, within a bounded time, and reading
what they report on start-up."""

import os
import select
import subprocess
import time

END_WAIT = 10


class Started:
    """Processes started on entry and ended on exit, also when starting fails half-way;
    a subclass says how in start() and __exit__()."""

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self


def end_process(process):
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(END_WAIT)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(END_WAIT)


def read_within(fd, seconds):
    """What the pipe delivers up to its first newline, or before the time is up."""
    data = b""
    deadline = time.monotonic() + seconds
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            break
        chunk = os.read(fd, 64)
        if not chunk:
            break
        data += chunk
    return data.decode()
