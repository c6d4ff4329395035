// What the cipher tests reach past the program's surface: the tables, the working rotors and
// the key schedule apart from the transform; and random texts and PINs to run through them.
#pragma once

#include "core/cipher.h"
#include "reference_cipher.h"

#include <QString>
#include <algorithm>
#include <random>

inline QString RotatedLeft(const QString& table, int by) {
    return table.mid(by) + table.left(by);
}

inline QString Reversed(QString table) {
    std::reverse(table.begin(), table.end());
    return table;
}

struct CipherTestSeam {
    static const QString& Alphabet(const Cipher& cipher) { return cipher.tables.alphabet; }
    static const QString& RevAlphabet(const Cipher& cipher) { return cipher.tables.revAlphabet; }
    // k from 1 to 4.
    static const QString& BaseRotor(const Cipher& cipher, int k) {
        return cipher.tables.baseRotor.at(k - 1);
    }
    // Working rotor k (1 to 4) as it stands now.
    static QString Rotor(const Cipher& cipher, int k) {
        if (k == 1) return RotatedLeft(cipher.rotor1Start, cipher.rotor1Turn);
        if (k == 3) return RotatedLeft(cipher.rotor3Start, cipher.rotor3Turn);
        return BaseRotor(cipher, k);
    }
    static int StepCount(const Cipher& cipher) { return cipher.stepCount; }
    // The key schedule from the PIN's two pairs, p1 and p2 from 0 to 99, without the transform.
    static void SetRotors(Cipher& cipher, int p1, int p2) { cipher.SetRotors(p1, p2); }
    static CipherResult RunCipher(Cipher& cipher, QString& text) { return cipher.RunCipher(text); }
};
using Seam = CipherTestSeam;

inline QString PinOf(int n) {
    return QString::asprintf("%04d", n);
}

// Alphabet characters mostly, with line ends, tabs and characters above 31 that the alphabet
// lacks ("é", the euro sign, DEL, a C1 control) among them.
inline QString RandomText(std::mt19937& rng, const Cipher& cipher, int length) {
    static const char16_t Others[] = {u'\r', u'\n', u'\t', u'\x01', u'é', u'€', u'\x7f', u'\x81'};
    std::uniform_int_distribution<int> pick(0, 99 + 20);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        const int k = pick(rng);
        text += k < 100 ? Seam::Alphabet(cipher)[k] : QChar(Others[k % std::size(Others)]);
    }
    return text;
}

inline ReferenceCipher ReferenceOf(const Cipher& cipher) {
    ReferenceCipher reference;
    reference.Alphabet = Seam::Alphabet(cipher);
    reference.RevAlphabet = Seam::RevAlphabet(cipher);
    for (int k = 1; k <= 4; ++k)
        reference.BaseRotor[k] = Seam::BaseRotor(cipher, k);
    return reference;
}
