// The ledger file and the plain copy in a given folder: whole-file reads, and writes that
// replace the old file only once the new one is complete.
#pragma once

#include <QByteArray>
#include <QString>

QString LedgerFilePath(const QString& folder);
QString PlainCopyPath(const QString& folder);

struct LoadResult {
    // Missing is the normal state before the first save; Unreadable must never be taken
    // for an empty ledger, or the next save would overwrite the real one.
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // exactly as stored, line ends included
    QString error;    // why the file could not be read, for the user
};

// Reads at most maxBytes + 1 bytes, so that a longer file is known to be too long without
// being read whole. Only a regular file is read: a pipe, device or folder at the name, or a
// link made by another account, is Unreadable.
LoadResult LoadLedgerFile(const QString& folder, qsizetype maxBytes);

struct SaveResult {
    bool ok = false;
    QString error; // why the save failed, for the user; the old file is then untouched
};

// Both write the bytes followed by CR LF, readable and writable by the owner only. A link
// at the name made by another account is not followed: the save fails.
SaveResult SaveLedgerFile(const QString& folder, const QByteArray& enciphered);
SaveResult SavePlainCopy(const QString& folder, const QByteArray& plain);
