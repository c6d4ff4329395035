#include "core/money.h"

#include <cmath>
#include <limits>

std::optional<Money> MoneyFromDouble(double value) {
    // Ties are judged on the double product, not on the decimal text typed.
    const double units = std::nearbyint(value * static_cast<double>(MoneyUnitsPerOne));
    if (!(units >= -9223372036854775808.0 && units < 9223372036854775808.0)) return std::nullopt;
    return static_cast<Money>(units);
}

namespace {
constexpr std::uint64_t UnitsPerPenny = MoneyUnitsPerOne / 100;

std::uint64_t Magnitude(Money value) {
    return value < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : std::uint64_t(value);
}

// The one rounding to pence, for the text and for the arithmetic alike.
std::uint64_t Pence(Money value) {
    return (Magnitude(value) + UnitsPerPenny / 2) / UnitsPerPenny;
}
} // namespace

std::optional<Money> ToWholePence(Money value) {
    const std::uint64_t units = Pence(value) * UnitsPerPenny;
    if (units > std::uint64_t(std::numeric_limits<Money>::max())) return std::nullopt;
    return value < 0 ? -Money(units) : Money(units);
}

QString FormatMoney(Money value) {
    const bool negative = value < 0;
    const std::uint64_t cents = Pence(value);
    const std::uint64_t hundredths = cents % 100;
    QString text = QString::number(cents / 100) + QLatin1Char('.') +
                   QLatin1Char(char('0' + hundredths / 10)) +
                   QLatin1Char(char('0' + hundredths % 10));
    return negative ? QLatin1Char('-') + text : text;
}
