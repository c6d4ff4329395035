// The cipher's machine apart from the PIN: the tables, the working rotors, the key schedule
// from the PIN's two pairs and the transform. Cipher runs it under a PIN; the cipher's tests
// drive its two steps apart and read its rotors.
#pragma once

#include "core/cipher_tables.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// What became of a request to transform a text. Only Transformed changed the text.
enum class CipherResult {
    Transformed,
    TextTooLong, // longer than CipherRotors::MaxTextLength
};

class CipherRotors {
  public:
    static constexpr int TableLength = 100;
    // Positions in a text are 16-bit, so this is the longest text the transform takes.
    static constexpr qsizetype MaxTextLength = 32767;

    // Joins the tables and sets the rotors as PIN "0000" would, so that they are always whole.
    CipherRotors();

    const CipherTables& Tables() const { return tables; }
    // The key schedule without the transform: p1 and p2 from 0 to 99.
    void SetRotors(int p1, int p2);
    // Transforms text in place from the current rotors and advances them. Characters of code
    // 31 or less pass untouched and do not step the rotors; every other character steps.
    CipherResult RunCipher(QString& text);
    // Working rotor k (1 to 4) as it stands now.
    QString Rotor(int k) const;
    int StepCount() const { return stepCount; }

  private:
    CipherTables tables;
    // Rotors 1 and 3 as the fixed rotations and reversals of the key schedule leave them,
    // the same for every PIN. The working rotors are these turned left by rotor1Turn and
    // rotor3Turn; rotors 2 and 4 are the base rotors and never turn.
    QString rotor1Start;
    QString rotor3Start;
    int rotor1Turn = 0;
    int rotor3Turn = 0;
    std::int16_t stepCount = 0;

    // The alphabet position of each character code below 256; 0xFF for the rest.
    std::array<std::uint8_t, 256> alphabetPos;
    // Row t, for rotor 3 turned by t: stages 1 to 5 from position x of the unturned rotor 1
    // to the position in it of their result, at x and again at x + 100.
    std::vector<std::uint8_t> through;
    // The alphabet twice over, so that a position up to 99 too high needs no wrap.
    std::array<char16_t, 2 * TableLength> letter;
};
