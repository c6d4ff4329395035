// Dates as the ledger writes them: "dd/mm/yyyy" whatever the user's locale.
#pragma once

#include <QDate>
#include <QString>

QString FormatDate(const QDate& date);
