#include "cipher.h"

#include "numbers.h"
#include "pin.h"
#include "runtime.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr int N = Cipher::TableLength;
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

Cipher::Cipher() : tables(JoinCipherTables()) {
    alphabetPos.fill(NotInAlphabet);
    for (int p = 0; p < N; ++p)
        alphabetPos[tables.alphabet[p].unicode()] = std::uint8_t(p);
    // The transform needs whole rotors, even before the first PIN is known.
    SetRotors(0, 0);
}

const QString& Cipher::BaseRotor(int k) const {
    return tables.baseRotor.at(k - 1);
}

const QString& Cipher::Rotor(int k) const {
    return rotor.at(k - 1);
}

CipherResult Cipher::SetRotorsFromPin(const QString& pin, QString& text) {
    if (pin.isEmpty()) return CipherResult::EmptyPin;
    if (pin.size() != 4) return CipherResult::PinNotFourCharacters;
    if (!IsFourDigitPin(pin)) return CipherResult::PinNotDigits;
    SetRotors(ToInt16(pin.left(2)), ToInt16(pin.mid(2)));
    Rt().SetMousePointer(MousePointer::Hourglass);
    const CipherResult result = RunCipher(text);
    Rt().SetMousePointer(MousePointer::Default);
    return result;
}

void Cipher::SetRotors(int p1, int p2) {
    if (p1 < 0 || p1 >= N || p2 < 0 || p2 >= N)
        throw std::invalid_argument("rotor shift outside 0..99");
    rotor[0] = RotatedLeft(Reversed(RotatedLeft(tables.baseRotor[0], 40)), p1);
    rotor[1] = tables.baseRotor[1];
    rotor[2] = RotatedLeft(Reversed(RotatedLeft(tables.baseRotor[2], 46)), p2);
    rotor[3] = tables.baseRotor[3];
    stepCount = std::int16_t(p1);
    rotor3Shift = std::int16_t(p2);
}

CipherResult Cipher::RunCipher(QString& text) {
    if (text.size() > MaxTextLength) return CipherResult::TextTooLong;

    // Each stage searches one table and replaces from another at the same position. With
    // every table held as alphabet positions and indexed both ways, a search is one lookup;
    // rotors 1 and 3 are read at offsets o1 and o3 instead of being rotated as they step.
    const Wiring r1 = Wire(rotor[0], alphabetPos);
    const Wiring r2 = Wire(rotor[1], alphabetPos);
    const Wiring r3 = Wire(rotor[2], alphabetPos);
    const Wiring r4 = Wire(rotor[3], alphabetPos);
    // Stages 3 and 4 together: position j of rotor 4 to position 101 - j of rotor 4.
    std::array<std::uint8_t, N> reflect;
    for (int i = 0; i < N; ++i)
        reflect[i] = r4.at[N - 1 - r4.positionOf[i]];
    std::array<char16_t, 2 * N> letter;
    for (int p = 0; p < 2 * N; ++p)
        letter[p] = tables.alphabet[p % N].unicode();

    int o1 = 0;
    int o3 = 0;
    int step = stepCount;
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code <= 31) continue;
        if (code < 256 && alphabetPos[code] != NotInAlphabet) {
            int i = alphabetPos[code];
            i = r1.at[i + o1];                            // Alphabet -> Rotor(1)
            i = r3.at[r2.positionOf[i] + o3];             // Rotor(2) -> Rotor(3)
            i = reflect[i];                               // Rotor(4) -> Alphabet -> Rotor(4)
            i = r2.at[r3.positionOf[i] + N - o3];         // Rotor(3) -> Rotor(2)
            c = QChar(letter[r1.positionOf[i] + N - o1]); // Rotor(1) -> Alphabet
        }
        if (++o1 == N) o1 = 0;
        if (++step == N) {
            step = 1;
            if (++o3 == N) o3 = 0;
        }
    }

    rotor[0] = RotatedLeft(rotor[0], o1);
    rotor[2] = RotatedLeft(rotor[2], o3);
    stepCount = std::int16_t(step);
    return CipherResult::Transformed;
}
