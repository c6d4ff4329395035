#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <string>

double Val(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');

    std::string number = "0"; // a leading "." still reads as a fraction
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number += char(c.unicode());
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            number += '.';
        } else {
            break;
        }
    }
    if (number.back() == '.') number.pop_back();

    // from_chars is correctly rounded and ignores the process locale, which Qt sets from
    // the user's environment.
    double value = 0;
    const auto read = std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range) // as strtod: too large is infinite, too small 0
        value = number.find_first_not_of('0') < number.find('.') ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}
