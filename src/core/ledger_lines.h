// The two kinds of ledger line (balance, entry), written and recognised by one set of rules.
#pragma once

#include "core/money.h"

#include <QDate>
#include <QString>
#include <QStringView>

enum class Booking { Credit, Debit };

// Marks the money value on every line; the first one in a ledger is the current balance.
constexpr QChar PoundSign(0x00A3);

// Date, 85 spaces, "£", the balance "0.00", CR LF.
QString BalanceLine(const QDate& date, Money balance);

// Date, then 20 spaces and "-£" for a debit or 50 spaces and "+£" for a credit, the
// amount "0.00", CR LF.
QString EntryLine(const QDate& date, Booking kind, Money amount);

// True for the empty text and for every text made of pairs of a balance line and an entry
// line in exactly the forms above, with a real date on each; false for anything else.
bool IsLedgerText(QStringView text);
