// The cipher's fixed key material: its six tables, joined from stored parts, and the
// unlock marker.
#pragma once

#include <QChar>
#include <QString>
#include <array>

// Put in front of the ledger text before enciphering; the first character after deciphering
// under the right PIN. Part of the ledger file format: never change it.
inline constexpr QChar UnlockMarker{u'~'};

struct CipherTables {
    QString alphabet;
    QString revAlphabet;
    std::array<QString, 4> baseRotor; // base rotors 1 to 4
};

// The six tables of 100 characters, each joined from its stored parts and the joining
// character.
CipherTables JoinCipherTables();
