"""Whole runs of the program as a person makes them, checked by the files left behind."""

import os
import signal

from ledger_text import ExpectedLedger
from program import LEDGER_FILE, LOCK_FILE, PLAIN_COPY
from trial import check_bytes, check_ledger_file, ends
from user import CHANGE_PIN_WINDOW, ERROR_BOX, LEDGER_WINDOW, PIN_FIELD, PIN_WINDOW


def make_ledger(t, folder, pin, bookings):
    """A ledger file made by a run of the program; the ledger it should hold."""
    user = t.start(folder)
    ledger = user.unlock(pin)
    expected = ExpectedLedger()
    for amount, credit in bookings:
        user.book(ledger, amount, credit)
        expected.book(amount, credit)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)
    return expected


def exports_and_leaves(user, folder, ledger, expected, stored=None):
    """A plain copy, then Yes: the copy holds the expected ledger, the ledger file stays
    as stored (absent for None)."""
    user.save_plain_copy(ledger, then_exit=True)
    ends(user, folder)
    check_bytes(folder.read(PLAIN_COPY), expected.plain_copy(), "the plain copy")
    kept = folder.read(LEDGER_FILE) if LEDGER_FILE in folder.names() else None
    assert kept == stored, "Yes after the plain copy wrote the ledger"


def keeps_window_after_failed_save(user, folder, ledger, stored):
    """After a refused save: the error box answered, the program and its ledger window
    still there, the ledger file as stored and nothing else left beside it."""
    user.answer(ERROR_BOX, "Return")
    assert user.run.running(), "the program ended after a failed save"
    assert user.window(LEDGER_WINDOW) == ledger
    assert folder.read(LEDGER_FILE) == stored, "a failed save changed the ledger file"
    assert set(folder.names()) <= {LEDGER_FILE, LOCK_FILE}, f"files left: {folder.names()}"


def reads_back(t, folder, pin, expected):
    """Reopening with pin shows expected: exported as a plain copy, then Yes."""
    user = t.start(folder)
    ledger = user.unlock(pin)
    before = folder.read(LEDGER_FILE)
    exports_and_leaves(user, folder, ledger, expected, before)


def first_run_and_close(t):
    folder = t.folder()
    user = t.start(folder)
    window = user.window(PIN_WINDOW)
    user.desktop.click(window, *PIN_FIELD)
    user.desktop.key("Return")
    user.answer(ERROR_BOX, "Return")  # empty PIN
    user.desktop.type("12")
    user.desktop.key("Return")
    user.answer(ERROR_BOX, "Return")  # short PIN; its digits stay in the field
    assert LOCK_FILE in folder.names(), "no lock held while running"
    user.desktop.type("34")
    user.desktop.key("Return")
    ledger = user.window(LEDGER_WINDOW)
    assert not user.sees(PIN_WINDOW), "the PIN window stayed on screen"
    user.close(ledger)
    ends(user, folder)
    assert folder.names() == [], f"an empty ledger left files: {folder.names()}"


def pin_window_ways_out(t):
    folder = t.folder()
    user = t.start(folder)
    user.close(user.window(PIN_WINDOW))
    ends(user, folder)
    user = t.start(folder)
    user.window(PIN_WINDOW)
    user.run.send(signal.SIGTERM)
    ends(user, folder)
    assert folder.names() == [], f"files left: {folder.names()}"


def bookings_plain_copy_close_reopen(t):
    folder = t.folder()
    user = t.start(folder)
    ledger = user.unlock("4821")
    expected = ExpectedLedger()
    for amount, credit in [("12.50", True), ("3.25", False), ("100", True)]:
        user.book(ledger, amount, credit)
        expected.book(amount, credit)
    user.save_plain_copy(ledger, then_exit=False)
    check_bytes(folder.read(PLAIN_COPY), expected.plain_copy(), "the plain copy")
    assert user.sees(LEDGER_WINDOW), "No after the plain copy closed the window"
    assert LEDGER_FILE not in folder.names(), "No after the plain copy wrote the ledger"
    user.close(ledger)
    ends(user, folder)
    stored = check_ledger_file(folder, expected)

    # The balance goes on from the stored ledger, above the lines read back.
    user = t.start(folder)
    ledger = user.unlock("4821")
    user.book(ledger, "0.75", False)
    expected.book("0.75", False)
    exports_and_leaves(user, folder, ledger, expected, stored)


def wrong_pin(t):
    folder = t.folder()
    make_ledger(t, folder, "2580", [("42", True)])
    stored = folder.read(LEDGER_FILE)
    user = t.start(folder)
    user.type_pin("2581")
    user.window(ERROR_BOX)
    assert not user.sees(LEDGER_WINDOW), "the ledger window opened on a wrong PIN"
    user.answer(ERROR_BOX, "Return")
    ends(user, folder)
    assert folder.read(LEDGER_FILE) == stored, "a wrong PIN changed the ledger file"
    assert folder.names() == [LEDGER_FILE]


def exit_no_encrypt(t):
    folder = t.folder()
    make_ledger(t, folder, "8642", [("7.10", False)])
    stored = folder.read(LEDGER_FILE)
    user = t.start(folder)
    ledger = user.unlock("8642")
    user.book(ledger, "55", True)
    user.exit_no_encrypt(ledger)
    ends(user, folder)
    assert folder.read(LEDGER_FILE) == stored, "Exit No Enctypt wrote the ledger file"
    assert folder.names() == [LEDGER_FILE]


def change_pin_then_reopen(t):
    folder = t.folder()
    expected = make_ledger(t, folder, "1111", [("30", True)])
    user = t.start(folder)
    ledger = user.unlock("1111")
    user.book(ledger, "12", False)
    expected.book("12", False)
    ledger = user.change_pin(ledger, "1111", "2222")
    user.close(ledger)
    ends(user, folder)
    stored = check_ledger_file(folder, expected)

    user = t.start(folder)
    user.type_pin("1111")
    user.answer(ERROR_BOX, "Return")  # the old PIN no longer opens it
    ends(user, folder)
    assert folder.read(LEDGER_FILE) == stored
    reads_back(t, folder, "2222", expected)


def failed_save_keeps_window(t):
    folder = t.folder()
    expected = make_ledger(t, folder, "7777", [("20", True)])
    stored = folder.read(LEDGER_FILE)
    os.chmod(folder.file(LEDGER_FILE), 0o644)
    folder.set_mode(0o555)  # readable, not writable, for the unprivileged user
    user = t.start(folder, unprivileged=True)
    ledger = user.unlock("7777")
    user.book(ledger, "5", False)
    expected.book("5", False)
    user.close(ledger)
    keeps_window_after_failed_save(user, folder, ledger, stored)

    # Once the folder and file can be written, closing again saves the ledger kept.
    folder.set_mode(0o777)
    os.chmod(folder.file(LEDGER_FILE), 0o666)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)
    reads_back(t, folder, "7777", expected)


def termination_saves(t):
    folder = t.folder()
    user = t.start(folder)
    ledger = user.unlock("3690")
    expected = ExpectedLedger()
    for amount, credit in [("64", True), ("16.40", False)]:
        user.book(ledger, amount, credit)
        expected.book(amount, credit)
    user.save_plain_copy(ledger, then_exit=False)  # the bookings are in before the signal
    user.run.send(signal.SIGTERM)
    ends(user, folder)
    check_ledger_file(folder, expected)

    # Also with the Change PIN window over the ledger window.
    user = t.start(folder)
    ledger = user.unlock("3690")
    user.book(ledger, "1.05", True)
    expected.book("1.05", True)
    user.menu(ledger, "c")
    user.window(CHANGE_PIN_WINDOW)
    user.run.send(signal.SIGHUP)
    ends(user, folder)
    check_ledger_file(folder, expected)
    reads_back(t, folder, "3690", expected)


# Every signal that would end the program by default, crash reports aside.
STOP_SIGNALS = [signal.SIGINT, signal.SIGQUIT, signal.SIGUSR1, signal.SIGUSR2, signal.SIGALRM,
                signal.SIGVTALRM, signal.SIGPROF, signal.SIGIO, signal.SIGPWR, signal.SIGXCPU,
                signal.SIGSTKFLT, signal.SIGRTMIN, signal.SIGRTMAX]


def signals_save_quietly(t):
    """Every other signal that ends a process ends the program as termination does: the
    ledger saved without a box to answer, status 0, no lock left. A broken pipe does not
    end it."""
    folder = t.folder()
    expected = ExpectedLedger()
    for n, signum in enumerate(STOP_SIGNALS):
        amount = f"{n + 1}.50"
        user = t.start(folder)
        ledger = user.unlock("5193")
        user.book(ledger, amount, True)
        expected.book(amount, True)
        user.save_plain_copy(ledger, then_exit=False)  # the booking is in before the signal
        user.run.send(signum)
        ends(user, folder)
        check_ledger_file(folder, expected)

    user = t.start(folder)
    ledger = user.unlock("5193")
    user.run.send(signal.SIGPIPE)
    user.book(ledger, "0.75", False)
    expected.book("0.75", False)
    user.close(ledger)
    ends(user, folder)
    check_ledger_file(folder, expected)
    reads_back(t, folder, "5193", expected)


def sub_penny_amounts(t):
    """Amounts are booked in whole pence, halves up, so the entries add up to the balance;
    one that rounds to nothing books nothing."""
    folder = t.folder()
    user = t.start(folder)
    ledger = user.unlock("6402")
    expected = ExpectedLedger()
    for amount, credit in [("10", True), *[("0.005", False)] * 3, ("0.025", True),
                           ("0.004", False)]:
        user.book(ledger, amount, credit)
        expected.book(amount, credit)
    exports_and_leaves(user, folder, ledger, expected)


def enter_presses_focused_button(t):
    """Return and keypad Enter press the button that has the focus: the eye in the PIN
    window, the booking buttons in the ledger window."""
    folder = t.folder()
    user = t.start(folder)
    window = user.window(PIN_WINDOW)
    user.desktop.click(window, *PIN_FIELD)
    user.desktop.type("24")
    # Return on the eye shows the PIN and gives the focus back to the field, where the
    # PIN goes on; had it been taken for the PIN's own Enter, a box would refuse "24".
    user.desktop.key("Tab", "Return")
    user.desktop.type("68")
    user.desktop.key("Return")
    ledger = user.window(LEDGER_WINDOW)
    expected = ExpectedLedger()
    for amount, credit, key in [("3", True, "Return"), ("1.25", False, "Return"),
                                ("4", True, "KP_Enter"), ("0.50", False, "KP_Enter")]:
        user.book_with_keys(ledger, amount, credit, key)
        expected.book(amount, credit)
    exports_and_leaves(user, folder, ledger, expected)


def second_copy_refused(t):
    folder = t.folder()
    expected = make_ledger(t, folder, "1357", [("9.99", True)])
    stored = folder.read(LEDGER_FILE)
    first = t.start(folder)
    ledger = first.unlock("1357")
    second = t.start(folder)
    second.answer(ERROR_BOX, "Return")
    second.run.wait_exit(1)
    assert folder.read(LEDGER_FILE) == stored, "the second copy changed the ledger file"
    assert folder.names() == [LEDGER_FILE, LOCK_FILE], "the second copy changed the folder"
    assert first.run.running() and first.sees(LEDGER_WINDOW), "the first copy was disturbed"
    first.book(ledger, "1", True)
    expected.book("1", True)
    first.close(ledger)
    ends(first, folder)
    check_ledger_file(folder, expected)


SCENARIOS = [
    first_run_and_close,
    pin_window_ways_out,
    bookings_plain_copy_close_reopen,
    wrong_pin,
    exit_no_encrypt,
    change_pin_then_reopen,
    failed_save_keeps_window,
    termination_saves,
    signals_save_quietly,
    second_copy_refused,
    sub_penny_amounts,
    enter_presses_focused_button,
]
