#include "core/cipher.h"
#include "core/cipher_rotors.h"
#include "reference_cipher.h"

#include "support/ledger_builder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

bool InAlphabet(const CipherRotors& cipher, QChar c) {
    return cipher.Tables().alphabet.contains(c);
}

TEST(Transform, EqualsTheLinearSearchDefinitionOnRandomTextsAndPins) {
    CipherRotors cipher;
    ReferenceCipher reference = ReferenceOf(cipher.Tables());
    std::mt19937 rng(101);
    std::uniform_int_distribution<int> anyPin(0, 9999);
    std::uniform_int_distribution<int> anyLength(0, 700);
    for (int round = 0; round < 400; ++round) {
        const int n = anyPin(rng);
        // A few texts long enough for rotor 3 to go all the way round.
        const int length = round % 100 == 0 ? 12000 : anyLength(rng);
        const QString text = RandomText(rng, cipher.Tables(), length);
        cipher.SetRotors(n / 100, n % 100);
        reference.SetRotorsFromPin(PinOf(n));

        QString fast = text;
        ASSERT_EQ(cipher.RunCipher(fast), CipherResult::Transformed);
        ASSERT_EQ(fast, reference.RunCipher(text)) << "PIN " << n << ", length " << length;
        for (int k = 1; k <= 4; ++k)
            ASSERT_EQ(cipher.Rotor(k), reference.Rotor[k]) << "PIN " << n << " rotor " << k;
        ASSERT_EQ(cipher.StepCount(), reference.StepCount) << "PIN " << n;
    }
}

TEST(Transform, TransformingTwiceFromTheSamePinGivesTheTextBackForEveryPin) {
    Cipher cipher;
    const CipherTables tables = JoinCipherTables();
    std::mt19937 rng(7);
    for (int n = 0; n < 10000; ++n) {
        const QString pin = PinOf(n);
        const QString text = RandomText(rng, tables, 150);
        QString stored = text;
        ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(pin), stored), CipherResult::Transformed);
        ASSERT_EQ(stored.size(), text.size());
        ASSERT_EQ(cipher.SetRotorsFromPin(MakePin(pin), stored), CipherResult::Transformed);
        ASSERT_EQ(stored, text) << pin.toStdString();
    }
}

TEST(Transform, NoAlphabetCharacterEverBecomesItselfForEveryPin) {
    CipherRotors cipher;
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> pick(0, 99);
    for (int n = 0; n < 10000; ++n) {
        QString text;
        for (int i = 0; i < 150; ++i)
            text += cipher.Tables().alphabet[pick(rng)];
        QString stored = text;
        cipher.SetRotors(n / 100, n % 100);
        cipher.RunCipher(stored);
        for (qsizetype i = 0; i < text.size(); ++i) {
            ASSERT_NE(stored[i], text[i]) << "PIN " << n << " position " << i;
            ASSERT_TRUE(InAlphabet(cipher, stored[i]));
        }
    }
}

TEST(Transform, AtOneRotorPositionTheAlphabetComesInSwappedPairs) {
    CipherRotors cipher;
    for (const auto& [p1, p2] : {std::pair{0, 0}, {99, 99}, {31, 64}}) {
        for (const QChar x : cipher.Tables().alphabet) {
            QString y(x);
            cipher.SetRotors(p1, p2);
            cipher.RunCipher(y);
            QString back = y;
            cipher.SetRotors(p1, p2);
            cipher.RunCipher(back);
            EXPECT_EQ(back, QString(x));
        }
    }
}

TEST(Transform, LineEndsTabsAndOtherLowCodesStayInPlaceAndDoNotStepTheRotors) {
    CipherRotors cipher;
    std::mt19937 rng(9);
    for (int round = 0; round < 200; ++round) {
        const int n = int(rng() % 10000);
        const QString text = RandomText(rng, cipher.Tables(), 300);
        QString whole = text;
        cipher.SetRotors(n / 100, n % 100);
        cipher.RunCipher(whole);

        QString stepping;
        for (const QChar c : text)
            if (c.unicode() > 31) stepping += c;
        cipher.SetRotors(n / 100, n % 100);
        cipher.RunCipher(stepping);

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
    CipherRotors cipher;
    for (const QChar other : {QChar(u'é'), QChar(u'€'), QChar(u'\x7f'), QChar(u'\x81')}) {
        ASSERT_FALSE(InAlphabet(cipher, other));
        QString text = QString(other) + QStringLiteral("£12.50");
        cipher.SetRotors(5, 6);
        cipher.RunCipher(text);
        EXPECT_EQ(text[0], other);

        QString withLetter = QStringLiteral("A£12.50");
        cipher.SetRotors(5, 6);
        cipher.RunCipher(withLetter);
        EXPECT_EQ(text.mid(1), withLetter.mid(1));
    }
}

TEST(Transform, EmptyTextOrOnlyLineEndsComeOutUnchangedAndLeaveTheRotors) {
    CipherRotors cipher;
    for (const QString& original : {QString(), QStringLiteral("\r\n\r\n\t\r\n")}) {
        cipher.SetRotors(42, 17);
        const CipherRotors before = cipher;
        QString text = original;
        EXPECT_EQ(cipher.RunCipher(text), CipherResult::Transformed);
        EXPECT_EQ(text, original);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(cipher.Rotor(k), before.Rotor(k));
        EXPECT_EQ(cipher.StepCount(), 42);
    }
}

TEST(Transform, Rotor1AdvancesOnePositionPerSteppingCharacterAndIsBackAfter100) {
    CipherRotors cipher;
    for (int count : {1, 37, 99, 100, 250}) {
        cipher.SetRotors(12, 34);
        const QString start = cipher.Rotor(1);
        QString text(count, u'x');
        cipher.RunCipher(text);
        EXPECT_EQ(cipher.Rotor(1), RotatedLeft(start, count % 100)) << count;
    }
}

// Rotor 3 first advances after 100 - s stepping characters, s being the first pair of the
// PIN, then every 99; rotors 2 and 4 never move.
TEST(Transform, Rotor3AdvancesAfter100MinusSThenEvery99ForEveryFirstPair) {
    CipherRotors cipher;
    for (int s = 0; s <= 99; ++s) {
        cipher.SetRotors(s, 21);
        const CipherRotors start = cipher;
        const int first = 100 - s;
        const std::pair<int, int> expected[] = {
            {first - 1, 0}, {first, 1}, {first + 98, 1}, {first + 99, 2}, {first + 99 * 2, 3}};
        for (const auto& [count, advances] : expected) {
            if (count == 0) continue;
            cipher.SetRotors(s, 21);
            QString text(count, u'a');
            cipher.RunCipher(text);
            ASSERT_EQ(cipher.Rotor(3), RotatedLeft(start.Rotor(3), advances))
                << "s " << s << " after " << count;
            ASSERT_EQ(cipher.Rotor(2), start.Rotor(2));
            ASSERT_EQ(cipher.Rotor(4), start.Rotor(4));
        }
    }
}

TEST(Transform, PinsStartingWith00And99StepRotor3AtTheHundredthAndTheFirstCharacter) {
    CipherRotors cipher;
    cipher.SetRotors(0, 0);
    const QString at0000 = cipher.Rotor(3);
    QString text(99, u'a');
    cipher.RunCipher(text);
    EXPECT_EQ(cipher.Rotor(3), at0000);
    text = QString(100, u'a');
    cipher.SetRotors(0, 0);
    cipher.RunCipher(text);
    EXPECT_EQ(cipher.Rotor(3), RotatedLeft(at0000, 1));

    cipher.SetRotors(99, 42);
    const QString at9942 = cipher.Rotor(3);
    text = QStringLiteral("a");
    cipher.RunCipher(text);
    EXPECT_EQ(cipher.Rotor(3), RotatedLeft(at9942, 1));
    EXPECT_EQ(cipher.StepCount(), 1);
}

TEST(Transform, TakesTextsUpToTheLongestLength) {
    Cipher cipher;
    std::mt19937 rng(10);
    const QString longest = RandomText(rng, JoinCipherTables(), Cipher::MaxTextLength);
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
    const QString tooLong = RandomText(rng, JoinCipherTables(), Cipher::MaxTextLength + 1);
    QString text = tooLong;
    EXPECT_EQ(cipher.SetRotorsFromPin(MakePin(QStringLiteral("5678")), text),
              CipherResult::TextTooLong);
    EXPECT_EQ(text, tooLong);
    // The rotors stay as the key schedule set them.
    CipherRotors rotors;
    rotors.SetRotors(56, 78);
    EXPECT_EQ(rotors.RunCipher(text), CipherResult::TextTooLong);
    EXPECT_EQ(rotors.StepCount(), 56);
}

} // namespace
