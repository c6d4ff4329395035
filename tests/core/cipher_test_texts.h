// Texts and PINs for the cipher tests: random mixes of the characters a transform meets.
#pragma once

#include "core/cipher.h"
#include "reference_cipher.h"

#include <QString>
#include <random>

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
        text += k < 100 ? cipher.Alphabet()[k] : QChar(Others[k % std::size(Others)]);
    }
    return text;
}

inline ReferenceCipher ReferenceOf(const Cipher& cipher) {
    ReferenceCipher reference;
    reference.Alphabet = cipher.Alphabet();
    reference.RevAlphabet = cipher.RevAlphabet();
    for (int k = 1; k <= 4; ++k)
        reference.BaseRotor[k] = cipher.BaseRotor(k);
    return reference;
}
