#include "cipher_test_texts.h"
#include "core/cipher.h"

#include "support/ledger_builder.h"

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
    }
}

TEST(KeySchedule, Pin0000LeavesRotorsAsTheFixedRotationsAndReversalsSetThem) {
    Cipher cipher;
    QString text;
    ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("0000")), text),
              CipherResult::Transformed);
    EXPECT_EQ(cipher.Rotor(1), Reversed(RotatedLeft(cipher.BaseRotor(1), 40)));
    EXPECT_EQ(cipher.Rotor(2), cipher.BaseRotor(2));
    EXPECT_EQ(cipher.Rotor(3), Reversed(RotatedLeft(cipher.BaseRotor(3), 46)));
    EXPECT_EQ(cipher.Rotor(4), cipher.BaseRotor(4));
    EXPECT_EQ(cipher.StepCount(), 0);
}

TEST(KeySchedule, PairsAreReadAsTwoDecimalNumbersLeadingZerosIncluded) {
    Cipher cipher;
    QString text;
    ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("0705")), text),
              CipherResult::Transformed);
    EXPECT_EQ(cipher.StepCount(), 7);
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
    used.SetRotorsFromPin(MakePin(QStringLiteral("4711")), again);
    QString first = text;
    fresh.SetRotorsFromPin(MakePin(QStringLiteral("1234")), first);
    QString second = text;
    used.SetRotorsFromPin(MakePin(QStringLiteral("1234")), second);
    EXPECT_EQ(first, second);
}

// The one PIN rule: a Pin exists for four digits and nothing else, so the cipher never sees
// another PIN.
TEST(KeySchedule, OnlyFourDigitsMakeAPin) {
    for (const char* refused : {"", "123", "12345", "12.4", "1%34", "(&'.", " 123", "\u0661234"})
        EXPECT_FALSE(Pin::FromText(QString::fromUtf8(refused))) << refused;
    const std::optional<Pin> pin = Pin::FromText(u"0705");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->FirstPair(), 7);
    EXPECT_EQ(pin->SecondPair(), 5);
}

} // namespace
