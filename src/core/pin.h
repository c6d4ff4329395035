// The one PIN rule: exactly four digits, whose two pairs give the key schedule two numbers
// from 0 to 99. A Pin exists only for a text that follows the rule.
#pragma once

#include <QStringView>
#include <optional>

class Pin {
  public:
    static std::optional<Pin> FromText(QStringView text) {
        if (text.size() != 4) return std::nullopt;
        for (const QChar c : text)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        const auto digit = [&text](int i) { return text[i].unicode() - '0'; };
        return Pin(digit(0) * 10 + digit(1), digit(2) * 10 + digit(3));
    }

    // The first two digits and the last two, each as a number from 0 to 99.
    int FirstPair() const { return first; }
    int SecondPair() const { return second; }

    friend bool operator==(const Pin&, const Pin&) = default;

  private:
    Pin(int first, int second) : first(first), second(second) {}
    int first;
    int second;
};
