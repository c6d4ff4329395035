// What makes a PIN: exactly four digits, so that its two pairs give two numbers 0..99.
#pragma once

#include <QString>

enum class PinCheck { FourDigits, Empty, NotFourDigits };

inline PinCheck CheckPinText(const QString& pin) {
    if (pin.isEmpty()) return PinCheck::Empty;
    if (pin.size() != 4) return PinCheck::NotFourDigits;
    for (const QChar c : pin)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return PinCheck::NotFourDigits;
    return PinCheck::FourDigits;
}

inline bool IsFourDigitPin(const QString& pin) {
    return CheckPinText(pin) == PinCheck::FourDigits;
}
