// The ledger file and the plain copy in a given folder: bounded reads of regular files, and
// writes that replace the old file only once the new one is complete.
#pragma once

#include <QByteArray>
#include <QString>

QString LedgerFilePath(const QString& folder);
QString PlainCopyPath(const QString& folder);
// Held while a copy of the program has the ledger open.
QString LedgerLockPath(const QString& folder);

// Why a file could not be read or written.
struct FileError {
    enum class Kind {
        None,
        System,      // the system refused; `system` says why, in its own words
        Folder,      // a folder has the file's name
        NotRegular,  // a pipe, device or socket has the file's name
        ForeignLink, // a link made by another account has the file's name
    };
    Kind kind = Kind::None;
    QString system;
};

struct LoadResult {
    // Missing is the normal state before the first save; Unreadable must never be taken
    // for an empty ledger, or the next save would overwrite the real one.
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // exactly as stored, line ends included
    FileError error;
};

// Reads at most MaxLedgerFileLength + 1 bytes, so that a longer file is known to be too long
// without being read whole. Only a regular file is read, and a link at the name only when
// the user or root made it.
LoadResult LoadLedgerFile(const QString& folder);

struct SaveResult {
    bool ok = false;
    FileError error; // the old file is then untouched
};

// Both write the bytes followed by CR LF, readable and writable by the owner only. A link
// at the name made by another account is not followed: the save fails.
SaveResult SaveLedgerFile(const QString& folder, const QByteArray& enciphered);
SaveResult SavePlainCopy(const QString& folder, const QByteArray& plain);
