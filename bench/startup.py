#!/usr/bin/python3
"""Start-up time and memory of the program against a bare Qt yardstick.

Starts both alternately from fresh folders under one Xvfb, times process start to the
first window being mapped, and reads the peak resident memory at that moment. Each round
takes the medians of STARTS alternating starts; the rounds' figures are printed, then the
range of their ratios.
Usage: startup.py PROGRAM YARDSTICK [STARTS] [ROUNDS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

sys.dont_write_bytecode = True
# The end-to-end tests' private X server, without their window manager.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from x_server import XServer  # noqa: E402


def peak_rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def one_start(conn, executable, env):
    folder = tempfile.mkdtemp(prefix="qc-start-")
    try:
        copy = shutil.copy(executable, folder)
        root = conn.screen().root
        root.change_attributes(event_mask=X.SubstructureNotifyMask)
        conn.sync()
        while conn.pending_events():
            conn.next_event()
        began = time.monotonic()
        process = subprocess.Popen([copy], cwd=folder, env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = began + 20
            while time.monotonic() < deadline:
                if conn.pending_events():
                    if conn.next_event().type == X.MapNotify:
                        return time.monotonic() - began, peak_rss_kib(process.pid)
                else:
                    time.sleep(0.0005)
            raise SystemExit(f"{executable}: no window within 20 s")
        finally:
            process.kill()
            process.wait(timeout=10)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def one_round(conn, program, yardstick, env, starts):
    """The medians of starts alternating starts: times in ms, memory in MiB."""
    results = {program: [], yardstick: []}
    for _ in range(starts):
        for executable in (program, yardstick):
            results[executable].append(one_start(conn, executable, env))
    return [(statistics.median(t for t, _ in results[e]) * 1000,
             statistics.median(m for _, m in results[e]) / 1024) for e in (program, yardstick)]


def main():
    program, yardstick = sys.argv[1], sys.argv[2]
    starts = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    with XServer(window_manager=False) as server:
        env = dict(server.env, QT_QPA_PLATFORM="xcb")
        conn = display.Display(server.display)
        one_start(conn, program, env)  # warm the file cache for both
        one_start(conn, yardstick, env)
        times, memories = [], []
        for _ in range(rounds):
            (t_prog, m_prog), (t_yard, m_yard) = one_round(conn, program, yardstick, env, starts)
            times.append(t_prog / t_yard)
            memories.append(m_prog / m_yard)
            print(f"start-up to window mapped, median of {starts}: program {t_prog:.1f} ms, "
                  f"yardstick {t_yard:.1f} ms, ratio {t_prog / t_yard:.2f}; peak resident "
                  f"memory: program {m_prog:.1f} MiB, yardstick {m_yard:.1f} MiB, "
                  f"ratio {m_prog / m_yard:.2f}", flush=True)
        print(f"ratios over {rounds} rounds: time {min(times):.2f}-{max(times):.2f}, "
              f"memory {min(memories):.2f}-{max(memories):.2f}")


if __name__ == "__main__":
    main()
