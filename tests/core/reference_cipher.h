// The cipher as first defined: every stage a linear search of 100 positions, every rotor
// rotated as a string, the key schedule reversing through a buffer. Kept as the yardstick
// that the fast transform must match character for character.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

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
