#include "cipher_test_seam.h"
#include "core/cipher.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(KeySchedule, MatchesTheStepByStepDefinitionForEveryPin) {
    Cipher cipher;
    ReferenceCipher reference = ReferenceOf(cipher);
    for (int n = 0; n < 10000; ++n) {
        const QString pin = PinOf(n);
        Seam::SetRotors(cipher, n / 100, n % 100);
        reference.SetRotorsFromPin(pin);
        for (int k = 1; k <= 4; ++k)
            ASSERT_EQ(Seam::Rotor(cipher, k), reference.Rotor[k])
                << pin.toStdString() << " rotor " << k;
        ASSERT_EQ(Seam::StepCount(cipher), reference.StepCount) << pin.toStdString();
    }
}

TEST(KeySchedule, PairsAreReadAsTwoDecimalNumbersLeadingZerosIncluded) {
    Cipher cipher;
    QString text;
    ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("0705")), text),
              CipherResult::Transformed);
    EXPECT_EQ(Seam::StepCount(cipher), 7);
    EXPECT_EQ(Seam::Rotor(cipher, 1),
              RotatedLeft(Reversed(RotatedLeft(Seam::BaseRotor(cipher, 1), 40)), 7));
    EXPECT_EQ(Seam::Rotor(cipher, 3),
              RotatedLeft(Reversed(RotatedLeft(Seam::BaseRotor(cipher, 3), 46)), 5));
}

TEST(KeySchedule, EveryPinGivesItsOwnStartState) {
    Cipher cipher;
    std::set<std::tuple<QString, QString, int>> states;
    for (int n = 0; n < 10000; ++n) {
        Seam::SetRotors(cipher, n / 100, n % 100);
        states.emplace(Seam::Rotor(cipher, 1), Seam::Rotor(cipher, 3), Seam::StepCount(cipher));
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
