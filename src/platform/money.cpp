#include "money.h"

#include <cmath>

Money MoneyFromDouble(double value) {
    // Ties are judged on the double product, not on the decimal text typed.
    const double units = std::nearbyint(value * static_cast<double>(MoneyUnitsPerOne));
    if (!(units >= -9223372036854775808.0 && units < 9223372036854775808.0))
        throw OverflowError("money value out of range");
    return static_cast<Money>(units);
}

QString FormatMoney(Money value) {
    const bool negative = value < 0;
    const auto magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : std::uint64_t(value);
    const std::uint64_t cents = (magnitude + 50) / 100;
    const std::uint64_t hundredths = cents % 100;
    QString text = QString::number(cents / 100) + QLatin1Char('.') +
                   QLatin1Char(char('0' + hundredths / 10)) +
                   QLatin1Char(char('0' + hundredths % 10));
    return negative ? QLatin1Char('-') + text : text;
}
