// The ledger text with the state of its bookings: the running balance is read back from
// the text itself, and each booking puts a balance line and an entry line on top.
#pragma once

#include "ledger_lines.h"
#include "money.h"

#include <QString>
#include <cstdint>

// The longest ledger text that can be enciphered with its marker and read back.
constexpr qsizetype MaxLedgerLength = 32764;

enum class BookingResult { Booked, ZeroAmount, TooLong, Overflow };

struct BookingOutcome {
    BookingResult result;
    QString lines; // the balance line and entry line put on top, when booked
};

class Ledger {
  public:
    const QString& Text() const { return text; }
    void SetText(const QString& ledgerText) { text = ledgerText; }

    // Sets TextPos and, when the text holds a pound sign, BalanceText to all that follows
    // the first one; otherwise BalanceText keeps its value. OverflowError when the text is
    // too long for a 16-bit position.
    void ReadBalance();

    // Books the value of the amount text as a credit or debit, each line dated when it is
    // built. Anything but Booked leaves the text as it was.
    BookingOutcome Book(Booking kind, const QString& amountText);

    Money Amount = 0;
    QString BalanceText;
    Money NewBalance = 0;
    std::int16_t TextPos = 0;

  private:
    QString text;
};
