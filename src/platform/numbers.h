// Reading numbers out of text, independent of the user's locale.
#pragma once

#include <QString>
#include <cstdint>

// Optional sign, digits, at most one "."; stops at the first other character; 0 when the
// text starts with no number. Correctly rounded, as strtod in the C locale.
double Val(const QString& text);

// A text of digits (optionally signed) as a 16-bit integer; OverflowError outside
// -32768..32767, std::invalid_argument when the text is not a number.
std::int16_t ToInt16(const QString& text);

// A length or position held in 16 bits; OverflowError above 32767.
std::int16_t ToInt16(qsizetype value);
