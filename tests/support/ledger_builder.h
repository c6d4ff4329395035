// Ledgers for tests, benchmarks and fuzz targets, dated on one fixed day so that every run
// writes the same text.
#pragma once

#include "core/ledger_lines.h"
#include "core/pin.h"

#include <QDate>
#include <QString>

// A PIN the test knows to be four digits.
inline Pin MakePin(const QString& text) {
    return Pin::FromText(text).value();
}

inline QDate FixedDay() {
    return QDate(2026, 12, 6);
}

// The characters a first credit of amount puts on top of an empty ledger.
inline qsizetype FirstCreditLength(Money amount) {
    return (BalanceLine(FixedDay(), amount) + EntryLine(FixedDay(), Booking::Credit, amount))
        .size();
}

// Whole booking pairs up to `length` characters.
inline QString LedgerOf(qsizetype length) {
    QString text;
    for (Money balance = 0;; balance += 125000) {
        const QString pair =
            BalanceLine(FixedDay(), balance) + EntryLine(FixedDay(), Booking::Credit, 125000);
        if (text.size() + pair.size() > length) return text;
        text.prepend(pair);
    }
}
