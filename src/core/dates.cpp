#include "core/dates.h"

#include <QtGlobal>

QString FormatDate(const QDate& date) {
    const int year = date.year();
    return QString::asprintf("%02d/%02d/%s%04lld", date.day(), date.month(), year < 0 ? "-" : "",
                             qAbs(qint64(year)));
}

qsizetype DateLength(QStringView text) {
    constexpr qsizetype YearStart = 6; // after "dd/mm/"
    qsizetype end = YearStart;
    if (end < text.size() && text[end] == QLatin1Char('-')) ++end;
    while (end < text.size() && text[end] >= QLatin1Char('0') && text[end] <= QLatin1Char('9'))
        ++end;
    if (end < YearStart + 4 || text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/')) return 0;
    bool dayRead = false;
    bool monthRead = false;
    bool yearRead = false;
    const QDate date(text.mid(YearStart, end - YearStart).toInt(&yearRead),
                     text.mid(3, 2).toInt(&monthRead), text.first(2).toInt(&dayRead));
    // Whatever the numbers parse as, only the writer's own spelling of them is a date.
    if (!dayRead || !monthRead || !yearRead || !date.isValid() ||
        FormatDate(date) != text.first(end))
        return 0;
    return end;
}
