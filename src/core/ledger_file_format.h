// The ledger file's format, in one place: the unlock marker and the ledger text, enciphered
// under the PIN, as Windows-1252, then CR LF; and the plain copy's. Part of the stored
// format: never change it.
#pragma once

#include "core/cipher.h"
#include "core/pin.h"

#include <QByteArray>
#include <QChar>
#include <QString>

// Put in front of the ledger text before enciphering; the first character after deciphering
// under the right PIN.
inline constexpr QChar UnlockMarker{u'~'};

// The whole file is deciphered, its line end included.
constexpr qsizetype MaxLedgerFileLength = Cipher::MaxTextLength;

// The longest ledger text that can be enciphered with its marker and read back.
constexpr qsizetype MaxLedgerLength = MaxLedgerFileLength - 1 - 2; // less marker and CR LF

// What a ledger file's bytes come to under a PIN.
struct DecodedLedger {
    enum class Status {
        Ledger,   // `ledger` holds it; an empty file is a new, empty ledger
        WrongPin, // not the PIN that wrote it, or not a ledger file at all
        TooLong,  // longer than the cipher takes
    };
    Status status = Status::Ledger;
    QString ledger{};
};

// A ledger text of at most MaxLedgerLength characters, enciphered under pin: the file's bytes.
// The cipher's tables are built once for a run, so the caller keeps it.
QByteArray EncodeLedgerFile(Cipher& cipher, const Pin& pin, const QString& ledger);
DecodedLedger DecodeLedgerFile(Cipher& cipher, const Pin& pin, const QByteArray& bytes);
// The enciphered text of a ledger file, as the ledger field shows it while the window goes.
QString EncipheredText(const QByteArray& bytes);

// The plain copy: the ledger text as it is, then CR LF.
QByteArray EncodePlainCopy(const QString& ledger);
