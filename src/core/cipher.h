// The rotor cipher of the ledger file under a PIN: the key schedule sets the rotors from the
// PIN, then the transform, which both enciphers and deciphers, runs over the text.
#pragma once

#include "core/cipher_rotors.h"
#include "core/pin.h"

#include <QString>

class Cipher {
  public:
    static constexpr qsizetype MaxTextLength = CipherRotors::MaxTextLength;

    // Sets the rotors from the PIN's two pairs and transforms text in place.
    CipherResult SetRotorsFromPin(const Pin& pin, QString& text) {
        rotors.SetRotors(pin.FirstPair(), pin.SecondPair());
        return rotors.RunCipher(text);
    }

  private:
    CipherRotors rotors;
};
