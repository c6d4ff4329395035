// Dates as the ledger writes them: "dd/mm/yyyy" whatever the user's locale.
#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// A year past 9999 takes the digits it needs; one before year 1 gets a leading "-", so that
// every date the clock can give is written and read back.
QString FormatDate(const QDate& date);

// The length of the date `text` starts with, written exactly as FormatDate writes it; 0 when
// it starts with none.
qsizetype DateLength(QStringView text);
