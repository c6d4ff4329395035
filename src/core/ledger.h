// The ledger text with the state of its bookings: the running balance is read back from
// the text itself, and each booking puts a balance line and an entry line on top.
#pragma once

#include "core/ledger_file_format.h"
#include "core/ledger_lines.h"
#include "core/money.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>

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
    // the first one; otherwise BalanceText keeps its value. False when the text is too long
    // for a 16-bit position.
    bool ReadBalance();

    // Books the value of the amount text, rounded to whole pence, as a credit or debit; each
    // line is dated by today() when it is built. Anything but Booked leaves the text as it was.
    BookingOutcome Book(Booking kind, const QString& amountText,
                        const std::function<QDate()>& today);

    Money Amount = 0;
    QString BalanceText;
    Money NewBalance = 0;
    std::int16_t TextPos = 0;

  private:
    QString text;
};
