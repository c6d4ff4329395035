// The ledger text and its bookings: the running balance is read back from the text itself,
// and each booking puts a balance line and an entry line on top.
#pragma once

#include "core/ledger_file_format.h"
#include "core/ledger_lines.h"
#include "core/money.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

enum class BookingResult { Booked, ZeroAmount, TooLong, Overflow };

struct BookingOutcome {
    BookingResult result;
    // When booked: the balance line and entry line put on top, the amount booked (whole
    // pence) and the balance it led to.
    QString lines{};
    Money amount = 0;
    Money balance = 0;
};

class Ledger {
  public:
    const QString& Text() const { return text; }
    void SetText(const QString& ledgerText) { text = ledgerText; }

    // All that follows the first pound sign, the current balance first; empty when the text
    // holds none. None when the sign lies beyond a 16-bit position.
    std::optional<QStringView> ReadBalance() const;

    // Books the value of the amount text, rounded to whole pence, as a credit or debit; each
    // line is dated by today() when it is built. Anything but Booked leaves the text as it was.
    BookingOutcome Book(Booking kind, const QString& amountText,
                        const std::function<QDate()>& today);

  private:
    QString text;
};
