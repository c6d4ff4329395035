"""The program's windows as a user meets them: captions, where the controls sit, and
the steps of each task, done through the desktop."""

PIN_WINDOW = "Enter Pin"
LEDGER_WINDOW = "£ Quillcount V3 £"
CHANGE_PIN_WINDOW = "Change Pin"
ERROR_BOX = " Error "
QUERY_BOX = "Query"

PIN_FIELD = (111 + 28, 33 + 12)  # txtKey, centre, in the PIN window
LEDGER_CLIENT_HEIGHT = 296  # below the menu bar
AMOUNT_FIELD = (240 + 76, 8 + 14)  # Text1, centre, below the menu bar
MINUS_BUTTON = (152 + 40, 8 + 12)
PLUS_BUTTON = (416 + 40, 8 + 12)
# Tab presses from the amount field to each button; the ledger field comes first.
TABS_TO_MINUS, TABS_TO_PLUS = 2, 3
AMOUNT_MAX_LENGTH = 8


class User:
    def __init__(self, desktop, run):
        self.desktop = desktop
        self.run = run

    def window(self, caption):
        return self.desktop.wait_window(caption, self.run.pid)

    def sees(self, caption):
        return bool(self.desktop.windows(caption, self.run.pid))

    def answer(self, title, key):
        """Answer the message box titled title: Return for OK or Yes, Escape for No."""
        box = self.window(title)
        self.desktop.activate(box)
        self.desktop.key(key)
        self.desktop.wait_no_window(title, self.run.pid)

    def type_pin(self, pin):
        window = self.window(PIN_WINDOW)
        self.desktop.click(window, *PIN_FIELD)
        self.desktop.type(pin)
        self.desktop.key("Return")

    def unlock(self, pin):
        """Type the PIN and wait for the ledger window; its id."""
        self.type_pin(pin)
        return self.window(LEDGER_WINDOW)

    def menu_bar_height(self, ledger):
        return self.desktop.size(ledger)[1] - LEDGER_CLIENT_HEIGHT

    def _below_menu(self, wid, point):
        return point[0], point[1] + self.menu_bar_height(wid)

    def enter_amount(self, ledger, amount):
        field = self._below_menu(ledger, AMOUNT_FIELD)
        self.desktop.click(ledger, *field)
        # the field keeps the last amount: empty it first
        self.desktop.key("End", *["BackSpace"] * AMOUNT_MAX_LENGTH)
        self.desktop.type(amount)

    def book(self, ledger, amount, credit):
        self.enter_amount(ledger, amount)
        button = self._below_menu(ledger, PLUS_BUTTON if credit else MINUS_BUTTON)
        self.desktop.click(ledger, *button)

    def book_with_keys(self, ledger, amount, credit, enter_key):
        """Books as book does, the button reached with Tab and pressed with enter_key."""
        self.enter_amount(ledger, amount)
        tabs = TABS_TO_PLUS if credit else TABS_TO_MINUS
        self.desktop.key(*["Tab"] * tabs, enter_key)

    def menu(self, ledger, accelerator):
        self.desktop.activate(ledger)
        self.desktop.key("alt+f", accelerator)

    def save_plain_copy(self, ledger, then_exit):
        self.menu(ledger, "s")
        self.answer(QUERY_BOX, "Return" if then_exit else "Escape")

    def exit_no_encrypt(self, ledger):
        self.menu(ledger, "e")

    def change_pin(self, ledger, old_pin, new_pin):
        self.menu(ledger, "c")
        window = self.window(CHANGE_PIN_WINDOW)
        self.desktop.activate(window)
        for pin in (old_pin, new_pin, new_pin):
            self.desktop.type(pin)
            self.desktop.key("Return")
        self.desktop.wait_no_window(CHANGE_PIN_WINDOW, self.run.pid)
        return self.window(LEDGER_WINDOW)

    def close(self, wid):
        self.desktop.close(wid)
