// The cipher's fixed key material: its six tables, joined from stored parts.
#pragma once

#include <QChar>
#include <QString>
#include <array>

struct CipherTables {
    QString alphabet;
    QString revAlphabet;
    std::array<QString, 4> baseRotor; // base rotors 1 to 4
};

// The six tables of 100 characters, each joined from its stored parts and the joining
// character.
CipherTables JoinCipherTables();
