// What makes a PIN: exactly four digits, so that its two pairs give two numbers 0..99.
#pragma once

#include <QString>

// What the PIN fields answer to a PIN that is empty, or is not four digits.
namespace PinPrompt {
inline const QString Empty = QStringLiteral("Enter Pin");
inline const QString NotFourDigits = QStringLiteral("Enter Pin 4 Numbers");
} // namespace PinPrompt

inline bool IsFourDigitPin(const QString& pin) {
    if (pin.size() != 4) return false;
    for (const QChar c : pin)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}
