#include "core/cipher_rotors.h"

#include <algorithm>

namespace {
constexpr int N = CipherRotors::TableLength;
constexpr std::uint8_t NotInAlphabet = 0xFF;

QString RotatedLeft(const QString& table, int by) {
    return table.mid(by) + table.left(by);
}

QString Reversed(QString table) {
    std::reverse(table.begin(), table.end());
    return table;
}

// A rotor as alphabet positions. `at` holds the rotor twice over, so that a position plus
// an offset below 100 reads the rotor as if it had been rotated by that offset.
struct Wiring {
    std::array<std::uint8_t, 2 * N> at;
    std::array<std::uint8_t, N> positionOf; // where alphabet position i stands in the rotor
};

Wiring Wire(const QString& rotor, const std::array<std::uint8_t, 256>& alphabetPos) {
    Wiring wiring;
    for (int p = 0; p < N; ++p) {
        const std::uint8_t i = alphabetPos[rotor[p].unicode()];
        wiring.at[p] = wiring.at[p + N] = i;
        wiring.positionOf[i] = std::uint8_t(p);
    }
    return wiring;
}
} // namespace

CipherRotors::CipherRotors()
    : tables(JoinCipherTables()), rotor1Start(Reversed(RotatedLeft(tables.baseRotor[0], 40))),
      rotor3Start(Reversed(RotatedLeft(tables.baseRotor[2], 46))) {
    alphabetPos.fill(NotInAlphabet);
    for (int p = 0; p < N; ++p)
        alphabetPos[tables.alphabet[p].unicode()] = std::uint8_t(p);
    for (int p = 0; p < 2 * N; ++p)
        letter[p] = tables.alphabet[p % N].unicode();

    // Each stage searches one table and replaces from another at the same position. With
    // every table held as alphabet positions and indexed both ways, a search is one lookup.
    // Here the stages run for every turn of rotor 3 with rotor 1 unturned; the transform
    // adds rotor 1's turn and does stage 6, Rotor(1) -> Alphabet, itself.
    const Wiring r1 = Wire(rotor1Start, alphabetPos);
    const Wiring r2 = Wire(tables.baseRotor[1], alphabetPos);
    const Wiring r3 = Wire(rotor3Start, alphabetPos);
    const Wiring r4 = Wire(tables.baseRotor[3], alphabetPos);
    through.resize(N * 2 * N);
    for (int turn3 = 0; turn3 < N; ++turn3) {
        std::uint8_t* row = &through[turn3 * 2 * N];
        for (int x = 0; x < N; ++x) {
            int i = r1.at[x];                        // Alphabet -> Rotor(1)
            i = r3.at[r2.positionOf[i] + turn3];     // Rotor(2) -> Rotor(3)
            i = r4.at[N - 1 - r4.positionOf[i]];     // Rotor(4) -> Alphabet -> Rotor(4)
            i = r2.at[r3.positionOf[i] + N - turn3]; // Rotor(3) -> Rotor(2)
            row[x] = row[x + N] = r1.positionOf[i];
        }
    }
    SetRotors(0, 0);
}

void CipherRotors::SetRotors(int p1, int p2) {
    Q_ASSERT(p1 >= 0 && p1 < N && p2 >= 0 && p2 < N);
    rotor1Turn = p1;
    rotor3Turn = p2;
    stepCount = std::int16_t(p1);
}

CipherResult CipherRotors::RunCipher(QString& text) {
    if (text.size() > MaxTextLength) return CipherResult::TextTooLong;

    int turn1 = rotor1Turn;
    int turn3 = rotor3Turn;
    int step = stepCount;
    const std::uint8_t* row = &through[turn3 * 2 * N];
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code <= 31) continue;
        // Rotor 1 turned by turn1 reads the unturned rotor turn1 positions further on, and
        // stage 6 finds the result turn1 positions earlier.
        if (code < 256 && alphabetPos[code] != NotInAlphabet)
            c = QChar(letter[row[alphabetPos[code] + turn1] + N - turn1]);
        if (++turn1 == N) turn1 = 0;
        if (++step == N) {
            step = 1;
            if (++turn3 == N) turn3 = 0;
            row = &through[turn3 * 2 * N];
        }
    }
    rotor1Turn = turn1;
    rotor3Turn = turn3;
    stepCount = std::int16_t(step);
    return CipherResult::Transformed;
}

QString CipherRotors::Rotor(int k) const {
    if (k == 1) return RotatedLeft(rotor1Start, rotor1Turn);
    if (k == 3) return RotatedLeft(rotor3Start, rotor3Turn);
    return tables.baseRotor.at(k - 1);
}
