"""quillcount.exe under Wine: a whole run and its reopening, a wrong PIN, the endings of a
Windows desktop, the lock as Windows keeps it, and the program at a drive's root."""

from program import LEDGER_FILE, LOCK_FILE
from scenarios import (bookings_plain_copy_close_reopen, make_ledger, reads_back,
                       second_copy_refused, wrong_pin)
from trial import check_ledger_file, ends
from user import PIN_WINDOW


def booked_and_held(t, folder, pin, amount):
    """A run of the program in folder unlocked with pin, with amount booked as a credit and
    in the ledger before anything ends it: the run and what its ledger should hold."""
    user = t.start(folder)
    ledger = user.unlock(pin)
    user.book(ledger, amount, True)
    user.save_plain_copy(ledger, then_exit=False)  # the booking is in before the ending
    return user, ledger


def log_off_saves_quietly(t):
    """Logging off (Wine's session end: every program asked, then told) saves the open
    ledger without a box to answer, as on Linux."""
    folder = t.folder()
    expected = make_ledger(t, folder, "7410", [("21", True)])
    user, _ = booked_and_held(t, folder, "7410", "3.30")
    expected.book("3.30", True)
    t.launcher.log_off()
    ends(user, folder)
    check_ledger_file(folder, expected)
    reads_back(t, folder, "7410", expected)


def killed_then_started_again(t):
    """A copy ended at once (taskkill /F, as Task Manager's End task) leaves no lock that
    refuses the next start, and writes nothing."""
    folder = t.folder()
    expected = make_ledger(t, folder, "8520", [("64", True)])
    stored = folder.read(LEDGER_FILE)
    user, _ = booked_and_held(t, folder, "8520", "1")
    t.launcher.taskkill(folder.program, force=True)
    user.run.wait_exit(expected_code=None)
    assert folder.read(LEDGER_FILE) == stored, "a killed copy changed the ledger file"
    user = t.start(folder)
    ledger = user.unlock("8520")  # not refused, and no question about the lock
    assert not user.sees(PIN_WINDOW)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)


def close_request_saves(t):
    """A close request from outside (taskkill without /F) runs the close sequence, as the
    close box does: the ledger saved, no lock left."""
    folder = t.folder()
    expected = make_ledger(t, folder, "9630", [("5", False)])
    user, ledger = booked_and_held(t, folder, "9630", "12.75")
    expected.book("12.75", True)
    assert LOCK_FILE in folder.names()
    t.launcher.taskkill(folder.program, force=False)
    ends(user, folder)
    check_ledger_file(folder, expected)
    reads_back(t, folder, "9630", expected)


def drive_root_and_letters_beyond_ascii(t):
    """A folder named in letters beyond ASCII, then the same folder as a drive's root (a
    USB stick's E:\\): the program saves its ledger in the one and reads it in the other."""
    folder = t.folder(name="Kassenbücher Ωμέγα")
    expected = make_ledger(t, folder, "3690", [("8.40", True)])
    t.launcher.map_drive("q:", folder.path)
    reads_back(t, folder, "3690", expected)  # started as Q:\quillcount.exe


WINE_SCENARIOS = [
    bookings_plain_copy_close_reopen,  # first run, book, close, start again: the bookings
    wrong_pin,
    log_off_saves_quietly,
    close_request_saves,
    second_copy_refused,  # the lock file held open with no sharing: a sharing violation
    killed_then_started_again,
    drive_root_and_letters_beyond_ascii,
]
