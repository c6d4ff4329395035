// The layout of the ledger file: the unlock marker and the ledger text, enciphered, then
// CR LF. Part of the stored format: never change it.
#pragma once

#include "core/cipher.h"

#include <QChar>

// Put in front of the ledger text before enciphering; the first character after deciphering
// under the right PIN.
inline constexpr QChar UnlockMarker{u'~'};

// The whole file is deciphered, its line end included.
constexpr qsizetype MaxLedgerFileLength = Cipher::MaxTextLength;

// The longest ledger text that can be enciphered with its marker and read back.
constexpr qsizetype MaxLedgerLength = MaxLedgerFileLength - 1 - 2; // less marker and CR LF
