// A ledger of whole booking pairs, as long as a benchmark needs it.
#pragma once

#include "ledger_lines.h"

#include <QDate>
#include <QString>

// Whole booking pairs up to `length` characters.
inline QString LedgerOf(qsizetype length) {
    const QDate day(2026, 12, 6);
    QString text;
    for (Money balance = 0;; balance += 125000) {
        const QString pair = BalanceLine(day, balance) + EntryLine(day, Booking::Credit, 125000);
        if (text.size() + pair.size() > length) return text;
        text.prepend(pair);
    }
}
