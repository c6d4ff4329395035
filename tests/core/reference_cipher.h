// The cipher as first defined: every stage a linear search of 100 positions, every rotor
// rotated as a string, the key schedule reversing through a buffer. Kept as the yardstick
// that the fast transform must match character for character; with random texts and PINs to
// run through both.
#pragma once

#include "core/cipher_tables.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

struct ReferenceCipher {
    QString Alphabet;
    QString RevAlphabet;
    std::array<QString, 5> BaseRotor; // 1 to 4; element 0 unused
    std::array<QString, 5> Rotor;
    QString ReverseBuf;
    QString CurChar;
    std::int16_t TextPos = 0;
    std::int16_t TablePos = 0;
    std::int16_t StepCount = 0;
    std::int16_t Rotor3Shift = 0;

    // The key schedule for a PIN of four digits, without the transform.
    void SetRotorsFromPin(const QString& pin) {
        Rotor[1] = BaseRotor[1].mid(40) + BaseRotor[1].left(40);
        Rotor[3] = BaseRotor[3].mid(46) + BaseRotor[3].left(46);
        ReverseBuf.clear();
        for (TextPos = std::int16_t(Rotor[1].size()); TextPos >= 1; --TextPos)
            ReverseBuf += Rotor[1].mid(TextPos - 1, 1);
        Rotor[1] = ReverseBuf;
        Rotor[2] = BaseRotor[2];
        ReverseBuf.clear();
        for (TextPos = std::int16_t(Rotor[3].size()); TextPos >= 1; --TextPos)
            ReverseBuf += Rotor[3].mid(TextPos - 1, 1);
        Rotor[3] = ReverseBuf;
        Rotor[4] = BaseRotor[4];
        ReverseBuf.clear();
        StepCount = std::int16_t(pin.left(2).toInt());
        CurChar = Rotor[1].left(StepCount);
        Rotor[1] = Rotor[1].mid(StepCount, 100 - StepCount) + CurChar;
        Rotor3Shift = std::int16_t(pin.mid(2, 2).toInt());
        CurChar = Rotor[3].left(Rotor3Shift);
        Rotor[3] = Rotor[3].mid(Rotor3Shift, 100 - Rotor3Shift) + CurChar;
    }

    void Stage(const QString& search, const QString& replace) {
        for (TablePos = 1; TablePos <= 100; ++TablePos) {
            if (search.at(TablePos - 1) == CurChar.at(0)) {
                CurChar = QString(replace.at(TablePos - 1));
                return;
            }
        }
    }

    void RotateLeftByOne(QString& rotor) {
        CurChar = rotor.left(1);
        rotor = rotor.mid(1, 99) + CurChar;
    }

    // Texts of at most 32,767 characters.
    QString RunCipher(const QString& txtData) {
        QString Text2;
        const auto n = std::int16_t(txtData.size());
        for (int pos = 1; pos <= n; ++pos) {
            TextPos = std::int16_t(pos);
            CurChar = txtData.mid(TextPos - 1, 1);
            if (CurChar[0].unicode() > 31) {
                Stage(Alphabet, Rotor[1]);
                Stage(Rotor[2], Rotor[3]);
                Stage(Rotor[4], Alphabet);
                Stage(RevAlphabet, Rotor[4]);
                Stage(Rotor[3], Rotor[2]);
                Stage(Rotor[1], Alphabet);
            }
            Text2 += CurChar;
            if (CurChar[0].unicode() > 31) {
                RotateLeftByOne(Rotor[1]);
                if (++StepCount == 100) {
                    RotateLeftByOne(Rotor[3]);
                    StepCount = 1;
                }
            }
        }
        return Text2;
    }
};

inline ReferenceCipher ReferenceOf(const CipherTables& tables) {
    ReferenceCipher reference;
    reference.Alphabet = tables.alphabet;
    reference.RevAlphabet = tables.revAlphabet;
    for (int k = 1; k <= 4; ++k)
        reference.BaseRotor[k] = tables.baseRotor[k - 1];
    return reference;
}

inline QString RotatedLeft(const QString& table, int by) {
    return table.mid(by) + table.left(by);
}

inline QString Reversed(QString table) {
    std::reverse(table.begin(), table.end());
    return table;
}

inline QString PinOf(int n) {
    return QString::asprintf("%04d", n);
}

// Alphabet characters mostly, with line ends, tabs and characters above 31 that the alphabet
// lacks ("é", the euro sign, DEL, a C1 control) among them.
inline QString RandomText(std::mt19937& rng, const CipherTables& tables, int length) {
    static const char16_t Others[] = {u'\r', u'\n', u'\t', u'\x01', u'é', u'€', u'\x7f', u'\x81'};
    std::uniform_int_distribution<int> pick(0, 99 + 20);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        const int k = pick(rng);
        text += k < 100 ? tables.alphabet[k] : QChar(Others[k % std::size(Others)]);
    }
    return text;
}
