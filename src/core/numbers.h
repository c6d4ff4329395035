// Reading numbers out of text, independent of the user's locale.
#pragma once

#include <QStringView>

// Optional sign, digits, at most one "."; stops at the first other character; 0 when the
// text starts with no number. Correctly rounded, as strtod in the C locale.
double Val(QStringView text);
