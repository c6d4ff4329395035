// Reading numbers out of text, independent of the user's locale.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Optional sign, digits, at most one "."; stops at the first other character; 0 when the
// text starts with no number. Correctly rounded, as strtod in the C locale.
double Val(const QString& text);

// A text of digits (optionally signed) as a 16-bit integer; none outside -32768..32767 or
// when the text is not a number.
std::optional<std::int16_t> ToInt16(const QString& text);

// A length or position held in 16 bits; none above 32767.
std::optional<std::int16_t> ToInt16(qsizetype value);
