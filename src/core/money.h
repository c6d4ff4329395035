// Money values: a signed 64-bit count of ten-thousandths, and their "0.00" text.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

using Money = std::int64_t;

constexpr Money MoneyUnitsPerOne = 10000;

// value x 10,000 in double precision, rounded to nearest with ties to even; none when it
// does not fit.
std::optional<Money> MoneyFromDouble(double value);

// value rounded to whole pence, half away from zero: the value its "0.00" text shows.
// None when that does not fit.
std::optional<Money> ToWholePence(Money value);

// At least one integer digit, two decimals rounded half away from zero, "-" before any
// negative value (even one that rounds to zero), no grouping, "." always.
QString FormatMoney(Money value);
