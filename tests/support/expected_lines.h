// Ledger lines spelled out column by column, as the worked examples state them.
#pragma once

#include <QString>

// date, `spaces` spaces, then `rest` (in which "#" stands for the pound sign), CR LF.
inline QString Expected(const QString& date, int spaces, const char* rest) {
    return date + QString(spaces, QLatin1Char(' ')) +
           QString::fromLatin1(rest).replace(QLatin1Char('#'), QChar(0x00A3)) +
           QLatin1String("\r\n");
}
