#include "cipher_test_seam.h"
#include "core/cipher.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

bool InAlphabet(const Cipher& cipher, QChar c) {
    return Seam::Alphabet(cipher).contains(c);
}

TEST(Transform, EqualsTheLinearSearchDefinitionOnRandomTextsAndPins) {
    Cipher cipher;
    ReferenceCipher reference = ReferenceOf(cipher);
    std::mt19937 rng(101);
    std::uniform_int_distribution<int> anyPin(0, 9999);
    std::uniform_int_distribution<int> anyLength(0, 700);
    for (int round = 0; round < 400; ++round) {
        const int n = anyPin(rng);
        // A few texts long enough for rotor 3 to go all the way round.
        const int length = round % 100 == 0 ? 12000 : anyLength(rng);
        const QString text = RandomText(rng, cipher, length);
        Seam::SetRotors(cipher, n / 100, n % 100);
        reference.SetRotorsFromPin(PinOf(n));

        QString fast = text;
        ASSERT_EQ(Seam::RunCipher(cipher, fast), CipherResult::Transformed);
        ASSERT_EQ(fast, reference.RunCipher(text)) << "PIN " << n << ", length " << length;
        for (int k = 1; k <= 4; ++k)
            ASSERT_EQ(Seam::Rotor(cipher, k), reference.Rotor[k]) << "PIN " << n << " rotor " << k;
        ASSERT_EQ(Seam::StepCount(cipher), reference.StepCount) << "PIN " << n;
    }
}

TEST(Transform, TransformingTwiceFromTheSamePinGivesTheTextBackForEveryPin) {
    Cipher cipher;
    std::mt19937 rng(7);
    for (int n = 0; n < 10000; ++n) {
        const QString pin = PinOf(n);
        const QString text = RandomText(rng, cipher, 150);
        QString stored = text;
        ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(pin), stored), CipherResult::Transformed);
        ASSERT_EQ(stored.size(), text.size());
        ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(pin), stored), CipherResult::Transformed);
        ASSERT_EQ(stored, text) << pin.toStdString();
    }
}

TEST(Transform, NoAlphabetCharacterEverBecomesItselfForEveryPin) {
    Cipher cipher;
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> pick(0, 99);
    for (int n = 0; n < 10000; ++n) {
        QString text;
        for (int i = 0; i < 150; ++i)
            text += Seam::Alphabet(cipher)[pick(rng)];
        QString stored = text;
        Seam::SetRotors(cipher, n / 100, n % 100);
        Seam::RunCipher(cipher, stored);
        for (qsizetype i = 0; i < text.size(); ++i) {
            ASSERT_NE(stored[i], text[i]) << "PIN " << n << " position " << i;
            ASSERT_TRUE(InAlphabet(cipher, stored[i]));
        }
    }
}

TEST(Transform, AtOneRotorPositionTheAlphabetComesInSwappedPairs) {
    Cipher cipher;
    for (const auto& [p1, p2] : {std::pair{0, 0}, {99, 99}, {31, 64}}) {
        for (const QChar x : Seam::Alphabet(cipher)) {
            QString y(x);
            Seam::SetRotors(cipher, p1, p2);
            Seam::RunCipher(cipher, y);
            QString back = y;
            Seam::SetRotors(cipher, p1, p2);
            Seam::RunCipher(cipher, back);
            EXPECT_EQ(back, QString(x));
        }
    }
}

TEST(Transform, LineEndsTabsAndOtherLowCodesStayInPlaceAndDoNotStepTheRotors) {
    Cipher cipher;
    std::mt19937 rng(9);
    for (int round = 0; round < 200; ++round) {
        const int n = int(rng() % 10000);
        const QString text = RandomText(rng, cipher, 300);
        QString whole = text;
        Seam::SetRotors(cipher, n / 100, n % 100);
        Seam::RunCipher(cipher, whole);

        QString stepping;
        for (const QChar c : text)
            if (c.unicode() > 31) stepping += c;
        Seam::SetRotors(cipher, n / 100, n % 100);
        Seam::RunCipher(cipher, stepping);

        qsizetype next = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].unicode() <= 31)
                ASSERT_EQ(whole[i], text[i]);
            else
                ASSERT_EQ(whole[i], stepping[next++]);
        }
    }
}

TEST(Transform, CharactersAboveCode31OutsideTheAlphabetPassUnchangedButStep) {
    Cipher cipher;
    for (const QChar other : {QChar(u'é'), QChar(u'€'), QChar(u'\x7f'), QChar(u'\x81')}) {
        ASSERT_FALSE(InAlphabet(cipher, other));
        QString text = QString(other) + QStringLiteral("£12.50");
        Seam::SetRotors(cipher, 5, 6);
        Seam::RunCipher(cipher, text);
        EXPECT_EQ(text[0], other);

        QString withLetter = QStringLiteral("A£12.50");
        Seam::SetRotors(cipher, 5, 6);
        Seam::RunCipher(cipher, withLetter);
        EXPECT_EQ(text.mid(1), withLetter.mid(1));
    }
}

TEST(Transform, EmptyTextOrOnlyLineEndsComeOutUnchangedAndLeaveTheRotors) {
    Cipher cipher;
    for (const QString& original : {QString(), QStringLiteral("\r\n\r\n\t\r\n")}) {
        Seam::SetRotors(cipher, 42, 17);
        const Cipher before = cipher;
        QString text = original;
        EXPECT_EQ(Seam::RunCipher(cipher, text), CipherResult::Transformed);
        EXPECT_EQ(text, original);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(Seam::Rotor(cipher, k), Seam::Rotor(before, k));
        EXPECT_EQ(Seam::StepCount(cipher), 42);
    }
}

TEST(Transform, Rotor1AdvancesOnePositionPerSteppingCharacterAndIsBackAfter100) {
    Cipher cipher;
    for (int count : {1, 37, 99, 100, 250}) {
        Seam::SetRotors(cipher, 12, 34);
        const QString start = Seam::Rotor(cipher, 1);
        QString text(count, u'x');
        Seam::RunCipher(cipher, text);
        EXPECT_EQ(Seam::Rotor(cipher, 1), RotatedLeft(start, count % 100)) << count;
    }
}

// Rotor 3 first advances after 100 - s stepping characters, s being the first pair of the
// PIN, then every 99; rotors 2 and 4 never move.
TEST(Transform, Rotor3AdvancesAfter100MinusSThenEvery99ForEveryFirstPair) {
    Cipher cipher;
    for (int s = 0; s <= 99; ++s) {
        Seam::SetRotors(cipher, s, 21);
        const Cipher start = cipher;
        const int first = 100 - s;
        const std::pair<int, int> expected[] = {
            {first - 1, 0}, {first, 1}, {first + 98, 1}, {first + 99, 2}, {first + 99 * 2, 3}};
        for (const auto& [count, advances] : expected) {
            if (count == 0) continue;
            Seam::SetRotors(cipher, s, 21);
            QString text(count, u'a');
            Seam::RunCipher(cipher, text);
            ASSERT_EQ(Seam::Rotor(cipher, 3), RotatedLeft(Seam::Rotor(start, 3), advances))
                << "s " << s << " after " << count;
            ASSERT_EQ(Seam::Rotor(cipher, 2), Seam::Rotor(start, 2));
            ASSERT_EQ(Seam::Rotor(cipher, 4), Seam::Rotor(start, 4));
        }
    }
}

TEST(Transform, PinsStartingWith00And99StepRotor3AtTheHundredthAndTheFirstCharacter) {
    Cipher cipher;
    QString none;
    cipher.SetRotorsFromPin(MakePin(QStringLiteral("0000")), none);
    const QString at0000 = Seam::Rotor(cipher, 3);
    QString text(99, u'a');
    cipher.SetRotorsFromPin(MakePin(QStringLiteral("0000")), text);
    EXPECT_EQ(Seam::Rotor(cipher, 3), at0000);
    text = QString(100, u'a');
    cipher.SetRotorsFromPin(MakePin(QStringLiteral("0000")), text);
    EXPECT_EQ(Seam::Rotor(cipher, 3), RotatedLeft(at0000, 1));

    cipher.SetRotorsFromPin(MakePin(QStringLiteral("9942")), none);
    const QString at9942 = Seam::Rotor(cipher, 3);
    text = QStringLiteral("a");
    cipher.SetRotorsFromPin(MakePin(QStringLiteral("9942")), text);
    EXPECT_EQ(Seam::Rotor(cipher, 3), RotatedLeft(at9942, 1));
    EXPECT_EQ(Seam::StepCount(cipher), 1);
}

TEST(Transform, TakesTextsUpToTheLongestLength) {
    Cipher cipher;
    std::mt19937 rng(10);
    const QString longest = RandomText(rng, cipher, Cipher::MaxTextLength);
    QString text = longest;
    EXPECT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("5678")), text),
              CipherResult::Transformed);
    EXPECT_NE(text, longest);
    EXPECT_EQ(text.size(), longest.size());
    cipher.SetRotorsFromPin(MakePin(QStringLiteral("5678")), text);
    EXPECT_EQ(text, longest);
}

TEST(Transform, RefusesLongerTextsAndLeavesThemUnchanged) {
    Cipher cipher;
    std::mt19937 rng(11);
    const QString tooLong = RandomText(rng, cipher, Cipher::MaxTextLength + 1);
    QString text = tooLong;
    EXPECT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("5678")), text),
              CipherResult::TextTooLong);
    EXPECT_EQ(text, tooLong);
    EXPECT_EQ(Seam::StepCount(cipher), 56);
}

} // namespace
