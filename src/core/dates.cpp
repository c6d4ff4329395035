#include "core/dates.h"

#include <QtGlobal>
#include <limits>

QString FormatDate(const QDate& date) {
    const int year = date.year();
    return QString::asprintf("%02d/%02d/%s%04lld", date.day(), date.month(), year < 0 ? "-" : "",
                             qAbs(qint64(year)));
}

namespace {
bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The two digits at text[at], as a number.
int TwoDigits(QStringView text, qsizetype at) {
    return (text[at].unicode() - '0') * 10 + (text[at + 1].unicode() - '0');
}
} // namespace

// Read back by the rule FormatDate writes by, without formatting anything: every line of a
// ledger is checked at each open.
qsizetype DateLength(QStringView text) {
    constexpr qsizetype YearStart = 6; // after "dd/mm/"
    if (text.size() < YearStart + 4 || !IsDigit(text[0]) || !IsDigit(text[1]) ||
        text[2] != QLatin1Char('/') || !IsDigit(text[3]) || !IsDigit(text[4]) ||
        text[5] != QLatin1Char('/'))
        return 0;
    const bool negative = text[YearStart] == QLatin1Char('-');
    const qsizetype digits = YearStart + (negative ? 1 : 0);
    qsizetype end = digits;
    qint64 year = 0;
    while (end < text.size() && IsDigit(text[end]) && year <= std::numeric_limits<int>::max()) {
        year = year * 10 + (text[end].unicode() - '0');
        ++end;
    }
    // Four digits at least, and a leading zero only to make up the four.
    if (end - digits < 4 || (end - digits > 4 && text[digits] == QLatin1Char('0')) ||
        year > std::numeric_limits<int>::max())
        return 0;
    if (!QDate::isValid(int(negative ? -year : year), TwoDigits(text, 3), TwoDigits(text, 0)))
        return 0;
    return end;
}
