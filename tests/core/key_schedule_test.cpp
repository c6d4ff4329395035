#include "core/cipher.h"
#include "core/cipher_rotors.h"
#include "reference_cipher.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(KeySchedule, MatchesTheStepByStepDefinitionForEveryPin) {
    CipherRotors cipher;
    ReferenceCipher reference = ReferenceOf(cipher.Tables());
    for (int n = 0; n < 10000; ++n) {
        const QString pin = PinOf(n);
        cipher.SetRotors(n / 100, n % 100);
        reference.SetRotorsFromPin(pin);
        for (int k = 1; k <= 4; ++k)
            ASSERT_EQ(cipher.Rotor(k), reference.Rotor[k]) << pin.toStdString() << " rotor " << k;
        ASSERT_EQ(cipher.StepCount(), reference.StepCount) << pin.toStdString();
    }
}

TEST(KeySchedule, PairsAreReadAsTwoDecimalNumbersLeadingZerosIncluded) {
    CipherRotors rotors;
    rotors.SetRotors(7, 5);
    EXPECT_EQ(rotors.StepCount(), 7);
    EXPECT_EQ(rotors.Rotor(1),
              RotatedLeft(Reversed(RotatedLeft(rotors.Tables().baseRotor[0], 40)), 7));
    EXPECT_EQ(rotors.Rotor(3),
              RotatedLeft(Reversed(RotatedLeft(rotors.Tables().baseRotor[2], 46)), 5));
    // The PIN "0705" sets the rotors so: its text comes out as theirs does.
    const QString text = QStringLiteral("some text that moves the rotors along, £12.50\r\n");
    QString byPin = text;
    QString byPairs = text;
    Cipher cipher;
    ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("0705")), byPin),
              CipherResult::Transformed);
    rotors.RunCipher(byPairs);
    EXPECT_EQ(byPin, byPairs);
}

TEST(KeySchedule, EveryPinGivesItsOwnStartState) {
    CipherRotors cipher;
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
