#include "cipher_test_seam.h"
#include "core/cipher.h"
#include "core/ledger_file_format.h"
#include "core/win1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

std::vector<QString> SixTables(const Cipher& cipher) {
    return {Seam::Alphabet(cipher),     Seam::RevAlphabet(cipher),  Seam::BaseRotor(cipher, 1),
            Seam::BaseRotor(cipher, 2), Seam::BaseRotor(cipher, 3), Seam::BaseRotor(cipher, 4)};
}

QString Sorted(QString table) {
    std::sort(table.begin(), table.end());
    return table;
}

TEST(CipherTables, EveryTableHoldsOneHundredCharacters) {
    const Cipher cipher;
    for (const QString& table : SixTables(cipher))
        EXPECT_EQ(table.size(), 100) << table.toStdString();
}

TEST(CipherTables, RevAlphabetIsTheAlphabetReadBackwards) {
    const Cipher cipher;
    for (int p = 1; p <= 100; ++p)
        EXPECT_EQ(Seam::RevAlphabet(cipher)[p - 1], Seam::Alphabet(cipher)[101 - p - 1]) << p;
}

TEST(CipherTables, AlphabetIsPrintableAsciiThePoundSignAndFourMoreOneByteSymbols) {
    const Cipher cipher;
    const QString alphabet = Seam::Alphabet(cipher);
    EXPECT_EQ(std::set<QChar>(alphabet.begin(), alphabet.end()).size(), 100u);
    for (char16_t code = 32; code <= 126; ++code)
        EXPECT_TRUE(alphabet.contains(QChar(code))) << int(code);
    EXPECT_TRUE(alphabet.contains(u'£'));
    int symbols = 0;
    for (const QChar c : alphabet) {
        if (c.unicode() <= 126) continue;
        ++symbols;
        // Written to the file as one byte, read back as the same character.
        EXPECT_EQ(Win1252Code(c), c.unicode());
        EXPECT_EQ(FromWin1252(ToWin1252(QString(c))), QString(c));
    }
    EXPECT_EQ(symbols, 5);
}

TEST(CipherTables, EveryRotorIsAPermutationOfTheAlphabetBeforeAndAfterTheKeySchedule) {
    Cipher cipher;
    const QString letters = Sorted(Seam::Alphabet(cipher));
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(Sorted(Seam::BaseRotor(cipher, k)), letters) << k;
    for (const auto& [p1, p2] : {std::pair{0, 0}, {99, 99}, {12, 34}, {50, 1}}) {
        Seam::SetRotors(cipher, p1, p2);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(Sorted(Seam::Rotor(cipher, k)), letters) << k << " " << p1 << " " << p2;
    }
}

TEST(CipherTables, NoTableHoldsALineEndTabOrAnyCodeOf31OrLess) {
    const Cipher cipher;
    for (const QString& table : SixTables(cipher))
        for (const QChar c : table)
            EXPECT_GT(c.unicode(), 31);
}

TEST(CipherTables, JoiningCharacterBelongsToTheAlphabetAndIsEncipheredLikeAnyOther) {
    Cipher cipher;
    EXPECT_TRUE(Seam::Alphabet(cipher).contains(u'"'));
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(Seam::BaseRotor(cipher, k).count(u'"'), 1);
    QString text = QStringLiteral("\"");
    Seam::SetRotors(cipher, 0, 0);
    Seam::RunCipher(cipher, text);
    EXPECT_NE(text, QStringLiteral("\""));
    EXPECT_TRUE(Seam::Alphabet(cipher).contains(text));
}

TEST(CipherTables, UnlockMarkerBelongsToTheAlphabet) {
    const Cipher cipher;
    EXPECT_TRUE(Seam::Alphabet(cipher).contains(UnlockMarker));
}

} // namespace
