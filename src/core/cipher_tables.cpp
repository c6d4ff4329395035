#include "core/cipher_tables.h"

#include <QStringView>

namespace {
// THESE CONSTANTS ARE THE LEDGER FILE FORMAT. A ledger file opens only under the tables
// that wrote it, so they never change; the golden tests pin them.
//
// Made once with Python's random.Random(20261207): the 99 characters of the alphabet other
// than the joining character shuffled, then each base rotor a shuffle of the whole alphabet.
// The alphabet is the 95 printable ASCII characters and "£", "¢", "¥", "§", "©"; these five
// lie where Windows-1252 agrees with Unicode, so a character's code is its Unicode value.
//
// The joining character, the double quote, is in every table and in no stored part; it is
// made from its code so that the parts hold no quote and read as plain raw literals.
constexpr char16_t JoiningCode = 34;

constexpr QStringView StoredParts[] = {
    // Alphabet: this part, then the joining character.
    uR"(Zc*a\CdP§R7^f=hOpN26)tg#{©i<-`05M,@L&W%wY9 A[(8/oUxEv|S'uV}yqbJFDkmB_]Q?j;1XT:!>re£~Iln¥$+GHKs¢3z.4)",
    // RevAlphabet: the joining character, then this part (the one above read backwards).
    uR"(4.z3¢sKHG+$¥nlI~£er>!:TX1;j?Q]_BmkDFJbqy}Vu'S|vExUo/8([A 9Yw%W&L@,M50`-<i©{#gt)62NpOh=f^7R§PdC\a*cZ)",
    // BaseRotor(1): this part (30), the joining character, the next part (69).
    uR"(R&;]fwF>bh$ZlDoNnue)4`r'-v3WSJ)",
    uR"(#Mi%§=Cc}E1q{7I8[5s©0G,B@¥AOkY*^XHPVUK|/:a(j mL¢<tTpx.d_2z~£\6Q?9g+!y)",
    // BaseRotor(2): this part (93), the joining character, the next part (6).
    uR"(6k{2VGz©W^Q>3BYMle7H|C _uL&DEmagitr0*[~!Sp#o?X<,$`1c-jOTP¢K@JsZ4}\x5bfq9'd¥N)/8Rw(hI=Fn%y:+A])",
    uR"(£;U.§v)",
    // BaseRotor(3): this part (92), the joining character, the next part (7).
    uR"(]WqONBMh:=)fU.a¥7-XVuK^5~Ak 8dp|¢LSjng>z9YE?`(sZ[1o,4yt%&DP$§Qv2JI6_i£{+@Rw'!GmT#}/e3rxl©;\b)",
    uR"(H0CFc*<)",
    // BaseRotor(4): this part (64), the joining character, the next part (35).
    uR"(GX.¢I~W,}2 ibu`)#zJ%\N-e=s|Z593[Aq¥mT(<P0kQE{7;DShaKc'jH!+LO4>dy)",
    uR"(C*V£vf/:R@U_^lYrB©1FMx]68wp&o$gn§t?)",
};

QString Joined(QStringView first, QStringView second) {
    QString table;
    table.reserve(first.size() + 1 + second.size());
    table.append(first).append(QChar(JoiningCode)).append(second);
    return table;
}
} // namespace

CipherTables JoinCipherTables() {
    CipherTables tables;
    tables.alphabet = Joined(StoredParts[0], {});
    tables.revAlphabet = Joined({}, StoredParts[1]);
    for (int k = 0; k < 4; ++k)
        tables.baseRotor[k] = Joined(StoredParts[2 + 2 * k], StoredParts[3 + 2 * k]);
    return tables;
}
