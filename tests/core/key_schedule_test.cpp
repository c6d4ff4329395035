#include "cipher_test_texts.h"
#include "core/cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

QString RotatedLeft(const QString& table, int by) {
    return table.mid(by) + table.left(by);
}

QString Reversed(QString table) {
    std::reverse(table.begin(), table.end());
    return table;
}

TEST(KeySchedule, MatchesTheStepByStepDefinitionForEveryPin) {
    Cipher cipher;
    ReferenceCipher reference = ReferenceOf(cipher);
    for (int n = 0; n < 10000; ++n) {
        const QString pin = PinOf(n);
        cipher.SetRotors(n / 100, n % 100);
        reference.SetRotorsFromPin(pin);
        for (int k = 1; k <= 4; ++k)
            ASSERT_EQ(cipher.Rotor(k), reference.Rotor[k]) << pin.toStdString() << " rotor " << k;
        ASSERT_EQ(cipher.StepCount(), reference.StepCount) << pin.toStdString();
        ASSERT_EQ(cipher.Rotor3Shift(), reference.Rotor3Shift) << pin.toStdString();
    }
}

TEST(KeySchedule, Pin0000LeavesRotorsAsTheFixedRotationsAndReversalsSetThem) {
    Cipher cipher;
    QString text;
    ASSERT_EQ(cipher.SetRotorsFromPin(QStringLiteral("0000"), text), CipherResult::Transformed);
    EXPECT_EQ(cipher.Rotor(1), Reversed(RotatedLeft(cipher.BaseRotor(1), 40)));
    EXPECT_EQ(cipher.Rotor(2), cipher.BaseRotor(2));
    EXPECT_EQ(cipher.Rotor(3), Reversed(RotatedLeft(cipher.BaseRotor(3), 46)));
    EXPECT_EQ(cipher.Rotor(4), cipher.BaseRotor(4));
    EXPECT_EQ(cipher.StepCount(), 0);
    EXPECT_EQ(cipher.Rotor3Shift(), 0);
}

TEST(KeySchedule, PairsAreReadAsTwoDecimalNumbersLeadingZerosIncluded) {
    Cipher cipher;
    QString text;
    ASSERT_EQ(cipher.SetRotorsFromPin(QStringLiteral("0705"), text), CipherResult::Transformed);
    EXPECT_EQ(cipher.StepCount(), 7);
    EXPECT_EQ(cipher.Rotor3Shift(), 5);
    EXPECT_EQ(cipher.Rotor(1), RotatedLeft(Reversed(RotatedLeft(cipher.BaseRotor(1), 40)), 7));
    EXPECT_EQ(cipher.Rotor(3), RotatedLeft(Reversed(RotatedLeft(cipher.BaseRotor(3), 46)), 5));
}

TEST(KeySchedule, EveryPinGivesItsOwnStartState) {
    Cipher cipher;
    std::set<std::tuple<QString, QString, int>> states;
    for (int n = 0; n < 10000; ++n) {
        cipher.SetRotors(n / 100, n % 100);
        states.emplace(cipher.Rotor(1), cipher.Rotor(3), cipher.StepCount());
    }
    EXPECT_EQ(states.size(), 10000u);
}

TEST(KeySchedule, StartsFromTheBaseTablesWhateverCameBefore) {
    Cipher fresh;
    Cipher used;
    QString text = QStringLiteral("some text that moves the rotors along, £12.50\r\n");
    QString again = text;
    used.SetRotorsFromPin(QStringLiteral("4711"), again);
    QString first = text;
    fresh.SetRotorsFromPin(QStringLiteral("1234"), first);
    QString second = text;
    used.SetRotorsFromPin(QStringLiteral("1234"), second);
    EXPECT_EQ(first, second);
}

struct RefusedPin {
    const char* pin;
    CipherResult result;
};

class RefusedPins : public testing::TestWithParam<RefusedPin> {};

TEST_P(RefusedPins, TouchNeitherRotorsNorText) {
    Cipher cipher;
    cipher.SetRotors(47, 11);
    const Cipher before = cipher;
    const QString original = QStringLiteral("~06/12/2026 text\r\n");
    QString text = original;

    EXPECT_EQ(cipher.SetRotorsFromPin(QString::fromUtf8(GetParam().pin), text), GetParam().result);
    EXPECT_EQ(text, original);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(cipher.Rotor(k), before.Rotor(k));
    EXPECT_EQ(cipher.StepCount(), 47);
    EXPECT_EQ(cipher.Rotor3Shift(), 11);
}

INSTANTIATE_TEST_SUITE_P(KeySchedule, RefusedPins,
                         testing::Values(RefusedPin{"", CipherResult::EmptyPin},
                                         RefusedPin{"123", CipherResult::PinNotFourDigits},
                                         RefusedPin{"12345", CipherResult::PinNotFourDigits},
                                         RefusedPin{"12.4", CipherResult::PinNotFourDigits},
                                         RefusedPin{"1%34", CipherResult::PinNotFourDigits},
                                         RefusedPin{"(&'.", CipherResult::PinNotFourDigits}));

} // namespace
