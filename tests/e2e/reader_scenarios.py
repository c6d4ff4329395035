"""The windows as a screen reader user meets them: each control heard with its role, name
and label, the PIN never read out while masked, the ledger read line by line, and every
focus move announced."""

from ledger_text import ExpectedLedger
from trial import ends
from user import CHANGE_PIN_WINDOW, LEDGER_WINDOW, PIN_WINDOW

WINDOW_ROLE = "frame"
FILE_MENU = ["Save QcUcV3.1.Txt (UnEncrypted)", "Change PassWord", "Exit No Enctypt"]

# role, name, and the label that describes the control
PIN_WINDOW_CONTROLS = [
    ("password text", "PIN", "Enter Your 4 Digit Pin And Press Return"),
    ("push button", "Show PIN", None),
    ("push button", "Hide PIN", None),
]
LEDGER_WINDOW_CONTROLS = [
    ("text", "Amount", None),
    ("push button", "Debit", None),
    ("push button", "Credit", None),
    ("text", "Ledger", None),
    ("menu item", "File", None),
]
CHANGE_PIN_CONTROLS = [
    ("password text", "Old PIN", "Old Pin"),
    ("password text", "New PIN", "New Pin"),
    ("password text", "Confirm PIN", "Confirm Pin"),
]


def heard(reader, pid, caption, controls):
    """The window named caption, heard as a window holding controls; its controls."""
    window = reader.window(pid, caption)
    assert window.getRoleName() == WINDOW_ROLE, (
        f"{caption!r} is heard as a {window.getRoleName()}, not a window")
    found = {}
    for role, name, label in controls:
        found[name] = reader.control(window, role, name)
        if label:
            assert reader.labels(found[name]) == [label], (
                f"{name!r} is described by {reader.labels(found[name])}, not {label!r}")
    return found


def announces(reader, act, expected):
    heard_now = reader.announced(act, expected)
    assert heard_now == expected, f"focus moves announced {heard_now}, expected {expected}"


def every_window_heard(t):
    folder = t.folder()
    user = t.start(folder)
    reader, desktop, pid = t.reader, t.desktop, user.run.pid

    pin_window = heard(reader, pid, PIN_WINDOW, PIN_WINDOW_CONTROLS)
    pin = pin_window["PIN"]
    desktop.activate(user.window(PIN_WINDOW))
    desktop.type("12")
    assert "12" not in reader.text(pin), "the masked PIN is read out"
    announces(reader, lambda: desktop.key("Tab", "Tab"), ["Show PIN", "PIN"])
    reader.press(pin_window["Show PIN"])
    reader.until(lambda: reader.text(pin) == "12", "PIN read out once shown")
    announces(reader, lambda: desktop.key("Tab", "Tab"), ["Hide PIN", "PIN"])
    desktop.type("1234")  # over the PIN that the Tab selected
    desktop.key("Return")

    ledger = user.window(LEDGER_WINDOW)
    ledger_window = heard(reader, pid, LEDGER_WINDOW, LEDGER_WINDOW_CONTROLS)
    entries = [entry.name for entry in reader.atspi.findAllDescendants(
        ledger_window["File"], lambda a: a.getRoleName() == "menu item")]
    assert entries == FILE_MENU, f"the File menu reads {entries}"
    announces(reader, lambda: desktop.key("Tab", "Tab", "Tab", "Tab"),
              ["Ledger", "Debit", "Credit", "Amount"])
    expected = ExpectedLedger()
    for amount, credit in [("12.50", True), ("3", False)]:
        user.book(ledger, amount, credit)
        expected.book(amount, credit)
    lines = reader.text(ledger_window["Ledger"])
    assert lines == expected.text.replace("\r\n", "\n"), f"the ledger reads {lines!r}"

    # Through the File menu, and then straight to the old PIN, never by the ledger.
    on_the_way = reader.announced(lambda: user.menu(ledger, "c"), ["Old PIN"])
    assert on_the_way[-1:] == ["Old PIN"] and "Ledger" not in on_the_way, (
        f"opening Change PIN announced {on_the_way}")
    heard(reader, pid, CHANGE_PIN_WINDOW, CHANGE_PIN_CONTROLS)
    desktop.activate(user.window(CHANGE_PIN_WINDOW))
    for pin_typed, next_field in [("1234", "New PIN"), ("5678", "Confirm PIN")]:
        desktop.type(pin_typed)
        announces(reader, lambda: desktop.key("Return"), [next_field])
    desktop.type("5678")
    desktop.key("Return")
    user.desktop.wait_no_window(CHANGE_PIN_WINDOW, pid)
    user.close(user.window(LEDGER_WINDOW))
    ends(user, folder)


READER_SCENARIOS = [every_window_heard]
