#include "core/cipher_rotors.h"
#include "core/ledger_file_format.h"
#include "core/win1252.h"
#include "reference_cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

std::vector<QString> SixTables(const CipherRotors& cipher) {
    const CipherTables& tables = cipher.Tables();
    return {tables.alphabet,     tables.revAlphabet,  tables.baseRotor[0],
            tables.baseRotor[1], tables.baseRotor[2], tables.baseRotor[3]};
}

QString Sorted(QString table) {
    std::sort(table.begin(), table.end());
    return table;
}

TEST(CipherTables, EveryTableHoldsOneHundredCharacters) {
    const CipherRotors cipher;
    for (const QString& table : SixTables(cipher))
        EXPECT_EQ(table.size(), 100) << table.toStdString();
}

TEST(CipherTables, RevAlphabetIsTheAlphabetReadBackwards) {
    const CipherRotors cipher;
    for (int p = 1; p <= 100; ++p)
        EXPECT_EQ(cipher.Tables().revAlphabet[p - 1], cipher.Tables().alphabet[101 - p - 1]) << p;
}

TEST(CipherTables, AlphabetIsPrintableAsciiThePoundSignAndFourMoreOneByteSymbols) {
    const CipherRotors cipher;
    const QString alphabet = cipher.Tables().alphabet;
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
    CipherRotors cipher;
    const QString letters = Sorted(cipher.Tables().alphabet);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(Sorted(cipher.Tables().baseRotor.at(k - 1)), letters) << k;
    for (const auto& [p1, p2] : {std::pair{0, 0}, {99, 99}, {12, 34}, {50, 1}}) {
        cipher.SetRotors(p1, p2);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(Sorted(cipher.Rotor(k)), letters) << k << " " << p1 << " " << p2;
    }
}

TEST(CipherTables, NoTableHoldsALineEndTabOrAnyCodeOf31OrLess) {
    const CipherRotors cipher;
    for (const QString& table : SixTables(cipher))
        for (const QChar c : table)
            EXPECT_GT(c.unicode(), 31);
}

TEST(CipherTables, JoiningCharacterBelongsToTheAlphabetAndIsEncipheredLikeAnyOther) {
    CipherRotors cipher;
    EXPECT_TRUE(cipher.Tables().alphabet.contains(u'"'));
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(cipher.Tables().baseRotor.at(k - 1).count(u'"'), 1);
    QString text = QStringLiteral("\"");
    cipher.SetRotors(0, 0);
    cipher.RunCipher(text);
    EXPECT_NE(text, QStringLiteral("\""));
    EXPECT_TRUE(cipher.Tables().alphabet.contains(text));
}

TEST(CipherTables, UnlockMarkerBelongsToTheAlphabet) {
    const CipherRotors cipher;
    EXPECT_TRUE(cipher.Tables().alphabet.contains(UnlockMarker));
}

} // namespace
