"""Runs in surroundings that work against the program: its display taken away, a file
size limit, odd or planted files at its names, locks left behind, a ledger name that
cannot be replaced; and what it leaves for others to read."""

import copy
import os
import shutil
import signal
import stat
import subprocess
import tempfile
import time

from ledger_text import ExpectedLedger
from program import LEDGER_FILE, LOCK_FILE, PLAIN_COPY, other_account, state
from scenarios import keeps_window_after_failed_save, make_ledger, reads_back
from trial import check_ledger_file, ends
from user import ERROR_BOX, LEDGER_WINDOW, PIN_WINDOW, QUERY_BOX

REFUSAL_WAIT = 3  # an odd ledger file is refused at once, not after reading on
MEMORY_BOUND = 200 * 2**20


def skip(scenario, why):
    print(f"  {scenario.__name__} skipped: {why}")


def lost_display_saves(t):
    """The X server dying with the ledger open saves it, as a signal does."""
    server, desktop = t.own_display()
    folder = t.folder()
    user = t.start(folder, desktop=desktop)
    ledger = user.unlock("9137")
    expected = ExpectedLedger()
    user.book(ledger, "48.20", True)
    expected.book("48.20", True)
    user.save_plain_copy(ledger, then_exit=False)  # the booking is in before the display goes
    server.crash()
    ends(user, folder, code=1)  # Qt ends a program whose display is gone with status 1
    check_ledger_file(folder, expected)
    reads_back(t, folder, "9137", expected)


def file_size_limit(t):
    """A save that the file size limit refuses is told, and the bookings stay in the
    window; once the limit is lifted, closing saves them. Under a limit of 0 the program
    still starts."""
    folder = t.folder()
    expected = make_ledger(t, folder, "3141", [("120", True), ("35.60", False)])
    stored = folder.read(LEDGER_FILE)
    for limit in (len(stored) // 2, 0):
        user = t.start(folder, file_size_limit=limit)
        ledger = user.unlock("3141")
        user.book(ledger, "1", True)
        expected.book("1", True)
        user.close(ledger)
        keeps_window_after_failed_save(user, folder, ledger, stored)
        user.run.lift_file_size_limit()
        user.close(ledger)
        ends(user, folder)
        stored = check_ledger_file(folder, expected)
    reads_back(t, folder, "3141", expected)


def sparse_file(path):
    with open(path, "wb") as f:
        f.truncate(3 * 2**30)


ODD_LEDGER_FILES = [
    ("a FIFO", os.mkfifo),
    ("a link to /dev/zero", lambda path: os.symlink("/dev/zero", path)),
    ("a 3 GiB sparse file", sparse_file),
]


def refused_at_once(user, what):
    """The error box within REFUSAL_WAIT s, the run's memory under MEMORY_BOUND all along.
    A run that overruns either is killed there and then, before it exhausts the machine."""
    began = time.monotonic()
    while not user.sees(ERROR_BOX):
        peak = user.run.peak_memory() if user.run.running() else 0
        waited = time.monotonic() - began
        if peak > MEMORY_BOUND or waited > REFUSAL_WAIT:
            user.run.send(signal.SIGKILL)
            raise AssertionError(f"{what}: no error box after {waited:.1f} s, "
                                 f"{peak >> 20} MiB used")
        time.sleep(0.05)
    peak = user.run.peak_memory()
    assert peak < MEMORY_BOUND, f"{what}: {peak >> 20} MiB used"


def odd_ledger_files(t):
    """What lies at the ledger's name but cannot be a ledger file is refused with a box,
    without reading on, and answering it ends the program with nothing written."""
    for what, make in ODD_LEDGER_FILES:
        folder = t.folder()
        make(folder.file(LEDGER_FILE))
        before = folder.state()
        user = t.start(folder)
        user.type_pin("2718")
        refused_at_once(user, what)
        user.answer(ERROR_BOX, "Return")
        ends(user, folder)
        assert folder.state() == before, f"{what}: the folder changed"


def planted_links(t):
    """In a folder open to all, links that another account planted at the program's names
    are not followed, even to a ledger the PIN opens: at the ledger's name the unlock is
    refused, at the plain copy's name the copy is. The user's own link is followed both
    ways."""
    if os.geteuid() != 0:
        return skip(planted_links, "only root can plant a link for another account")
    other = other_account()
    elsewhere = t.folder()
    expected = make_ledger(t, elsewhere, "1618", [("70", True)])
    target = elsewhere.file(LEDGER_FILE)
    target_before = state(target)

    folder = t.folder()
    folder.set_mode(0o1777)
    folder.link(LEDGER_FILE, target, other)
    before = folder.state()
    user = t.start(folder)
    user.type_pin("1618")
    user.answer(ERROR_BOX, "Return")
    ends(user, folder)
    assert folder.state() == before, "a refused unlock changed the folder"

    folder = t.folder()
    folder.set_mode(0o1777)
    folder.link(PLAIN_COPY, target, other)
    before = folder.state()
    user = t.start(folder)
    ledger = user.unlock("1618")
    user.book(ledger, "5", True)
    user.menu(ledger, "s")
    user.answer(ERROR_BOX, "Return")
    assert user.sees(LEDGER_WINDOW), "the window went after a refused plain copy"
    user.exit_no_encrypt(ledger)
    ends(user, folder)
    assert folder.state() == before, "a refused plain copy changed the folder"
    assert state(target) == target_before, "a planted link's target was written"

    # Run as the other account, whose own link this is then (and not root's).
    elsewhere.set_mode(0o777)
    os.chmod(target, 0o666)
    folder = t.folder()
    folder.set_mode(0o777)
    folder.link(LEDGER_FILE, target, other)
    user = t.start(folder, unprivileged=True)
    ledger = user.unlock("1618")
    user.book(ledger, "2.30", False)
    expected.book("2.30", False)
    user.close(ledger)
    ends(user, folder)
    assert os.readlink(folder.file(LEDGER_FILE)) == target, "the link was replaced"
    check_ledger_file(elsewhere, expected)


def stale_locks(t):
    """A lock nobody holds is taken over at once: an empty one (as a power cut leaves it)
    without a word. One written on another host is put to the user before the PIN window:
    No leaves it and everything else as it was; Yes takes it and the run goes on."""
    folder = t.folder()
    with open(folder.file(LOCK_FILE), "wb"):
        pass
    expected = make_ledger(t, folder, "7531", [("5", False)])

    lock = b"1\nquillcount\nelsewhere.invalid\n\n\n"
    with open(folder.file(LOCK_FILE), "wb") as f:
        f.write(lock)
    before = folder.state()
    user = t.start(folder)
    user.window(QUERY_BOX)
    assert not user.sees(PIN_WINDOW), "the PIN window came before the question"
    user.answer(QUERY_BOX, "Escape")
    user.run.wait_exit(0)
    assert folder.state() == before and folder.read(LOCK_FILE) == lock, "No changed the folder"

    user = t.start(folder)
    user.answer(QUERY_BOX, "Return")
    ledger = user.unlock("7531")
    user.book(ledger, "11", True)
    expected.book("11", True)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)


def simultaneous_terminations(t):
    """Two copies on one ledger (the first one's lock removed behind its back) sent SIGTERM
    at the same moment, as a logout does, keep every booking: one run's in the ledger file,
    the other's beside it, named in a box at the next start and opened as the README says."""
    folder = t.folder()
    stored = make_ledger(t, folder, "2580", [("10", True)])
    runs = []
    for amount, credit in [("1", True), ("2.50", False)]:
        user = t.start(folder)
        ledger = user.unlock("2580")
        user.book(ledger, amount, credit)
        user.save_plain_copy(ledger, then_exit=False)  # the booking is in before the signal
        expected = copy.deepcopy(stored)
        expected.book(amount, credit)
        runs.append((user, expected))
        if len(runs) == 1:
            os.remove(folder.file(LOCK_FILE))
    for user, _ in runs:
        os.kill(user.run.pid, signal.SIGTERM)
    for user, _ in runs:
        user.run.wait_exit(0)
    kept = LEDGER_FILE + ".kept-1"
    assert sorted(folder.names()) == sorted([LEDGER_FILE, kept, PLAIN_COPY]), folder.names()

    user = t.start(folder)
    user.answer(ERROR_BOX, "Return")  # the kept ledger, named
    ledger = user.unlock("2580")
    user.save_plain_copy(ledger, then_exit=True)
    ends(user, folder)
    saved = [expected for _, expected in runs if expected.plain_copy() == folder.read(PLAIN_COPY)]
    assert len(saved) == 1, "the ledger file holds neither run's bookings"
    os.rename(folder.file(LEDGER_FILE), folder.file("aside"))
    os.rename(folder.file(kept), folder.file(LEDGER_FILE))
    reads_back(t, folder, "2580", next(e for _, e in runs if e is not saved[0]))


def closed_standard_error(t):
    """Started with its standard error closed, as some launchers start programs, it still
    shows its windows and a termination still saves and ends it: the display's connection
    must not take the standard error's place, where Qt's first warning (here, of a theme it
    cannot load) would go."""
    folder = t.folder()
    user = t.start(folder, closed_stderr=True, env={"QT_QPA_PLATFORMTHEME": "none-such"})
    ledger = user.unlock("8642")
    expected = ExpectedLedger()
    user.book(ledger, "3", True)
    expected.book("3", True)
    user.save_plain_copy(ledger, then_exit=False)
    user.run.send(signal.SIGTERM)
    ends(user, folder)
    check_ledger_file(folder, expected)


def private_files(t):
    """Under umask 000 every file the program writes is still its owner's alone, and the
    running program keeps its memory to itself: not dumpable, no core dumps."""
    folder = t.folder()
    folder.set_mode(0o777)  # for the unprivileged run
    user = t.start(folder, unprivileged=True, umask=0)
    ledger = user.unlock("4455")
    assert not user.run.dumpable(), "the program is dumpable"
    assert user.run.core_file_limit() == "0", (
        f"core dumps of up to {user.run.core_file_limit()} bytes")
    user.book(ledger, "9", True)
    user.save_plain_copy(ledger, then_exit=False)
    modes = {name: stat.S_IMODE(mode) for name, (mode, *_) in folder.state().items()}
    assert modes == {LOCK_FILE: 0o600, PLAIN_COPY: 0o600}, f"modes {modes}"
    user.close(ledger)
    ends(user, folder)
    mode = stat.S_IMODE(state(folder.file(LEDGER_FILE))[0])
    assert mode == 0o600, f"ledger file mode {mode:o}"


def busy_ledger_name(t):
    """A ledger name that cannot be replaced (a file bind-mounted over it) is told at
    close; the window stays and the bytes there are kept. Unmounted, closing saves."""
    if os.geteuid() != 0:
        return skip(busy_ledger_name, "only root can mount")
    folder = t.folder()
    expected = make_ledger(t, folder, "8080", [("15", True)])
    stored = folder.read(LEDGER_FILE)
    source = t.folder().file("mounted")
    shutil.copyfile(folder.file(LEDGER_FILE), source)
    name = folder.file(LEDGER_FILE)
    mount = subprocess.run(["mount", "--bind", source, name], capture_output=True, text=True)
    if mount.returncode != 0:
        return skip(busy_ledger_name, mount.stderr.strip())
    try:
        user = t.start(folder)
        ledger = user.unlock("8080")
        user.book(ledger, "4", False)
        expected.book("4", False)
        user.close(ledger)
        keeps_window_after_failed_save(user, folder, ledger, stored)
    finally:
        subprocess.run(["umount", name], check=True)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)


def folder_named_in_bytes(t):
    """A folder whose name is not valid text (as on an old disk) is the program's folder all
    the same: the ledger is kept there, never in / or the working folder."""
    folder = t.folder(name=os.fsdecode(b"caf\xe9"))
    expected = make_ledger(t, folder, "1357", [("3.50", True)])
    reads_back(t, folder, "1357", expected)
    assert not os.path.exists("/" + LEDGER_FILE), "a ledger was written to /"


def mounted(image, at):
    return subprocess.run(["mount", "-o", "loop", image, at], capture_output=True, text=True)


def power_cut_after_close(t):
    """The moment a run that booked and closed has ended, the disk already holds its
    ledger: a copy of the whole disk taken then (what a power cut leaves) has the booking."""
    if os.geteuid() != 0:
        return skip(power_cut_after_close, "only root can mount a file system")
    work = tempfile.mkdtemp(prefix="qc-e2e-disk-")
    disk, copy = os.path.join(work, "disk.img"), os.path.join(work, "copy.img")
    live, replayed = os.path.join(work, "live"), os.path.join(work, "replayed")
    os.mkdir(live)
    os.mkdir(replayed)
    with open(disk, "wb") as f:
        f.truncate(256 * 2**20)
    subprocess.run(["mkfs.ext4", "-q", "-F", disk], check=True)
    mount = mounted(disk, live)
    if mount.returncode != 0:
        shutil.rmtree(work)
        return skip(power_cut_after_close, f"no loop device: {mount.stderr.strip()}")
    try:
        folder = t.folder(at=live)
        expected = make_ledger(t, folder, "2468", [("10", True)])
        os.sync()  # the ledger as it was before the run is on disk
        user = t.start(folder)
        ledger = user.unlock("2468")
        user.book(ledger, "7.25", False)
        expected.book("7.25", False)
        user.close(ledger)
        ends(user, folder)
        shutil.copyfile(disk, copy)
        assert mounted(copy, replayed).returncode == 0, "the copy of the disk does not mount"
        try:
            with open(os.path.join(replayed, LEDGER_FILE), "rb") as f:
                stored = f.read()
        finally:
            subprocess.run(["umount", replayed], check=True)
        assert len(stored) == expected.ledger_file_size(), (
            f"after the power cut the ledger file has {len(stored)} bytes, the closed run's "
            f"{expected.ledger_file_size()}")
    finally:
        subprocess.run(["umount", live], check=True)
        shutil.rmtree(work)


ADVERSE_SCENARIOS = [
    lost_display_saves,
    file_size_limit,
    odd_ledger_files,
    planted_links,
    stale_locks,
    simultaneous_terminations,
    closed_standard_error,
    private_files,
    busy_ledger_name,
    folder_named_in_bytes,
    power_cut_after_close,
]
