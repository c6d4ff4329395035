"""The ledger text the program should hold after a series of bookings, built here
independently of the program, with the layout of its balance and entry lines."""

import time
from decimal import ROUND_HALF_UP, Decimal

CRLF = "\r\n"
PENNY = Decimal("0.01")


def today():
    return time.strftime("%d/%m/%Y")


def money(value):
    return f"{value:.2f}"


class ExpectedLedger:
    def __init__(self):
        self.text = ""
        self.balance = Decimal(0)

    def book(self, amount, credit):
        # Booked in whole pence, so that the entries add up to the balance.
        value = Decimal(amount).quantize(PENNY, ROUND_HALF_UP)
        if not value:
            return  # nothing to book
        self.balance += value if credit else -value
        entry = (" " * 50 + "+£") if credit else (" " * 20 + "-£")
        self.text = (today() + " " * 85 + "£" + money(self.balance) + CRLF
                     + today() + entry + money(value) + CRLF + self.text)

    def plain_copy(self):
        return (self.text + CRLF).encode("cp1252")

    def ledger_file_size(self):
        # marker in front, CR LF behind
        return len(self.text) + 3
