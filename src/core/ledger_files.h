// The ledger file, the plain copy and the lock in the program's folder, held for the run:
// bounded reads of regular files, saves that replace the old file only once the new one is
// complete and on disk, and a memory of the ledger file as read, so that a file changed
// behind the program's back is never overwritten without a word.
#pragma once

#include "core/folder.h"

#include <QByteArray>
#include <QString>
#include <memory>

QString LedgerFilePath(const QString& folder);
QString PlainCopyPath(const QString& folder);
// Held while a copy of the program has the ledger open.
QString LedgerLockPath(const QString& folder);

struct LoadResult {
    // Missing is the normal state before the first save; Unreadable must never be taken
    // for an empty ledger, or the next save would overwrite the real one.
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // exactly as stored, line ends included
    FileError error;
};

struct SaveResult {
    bool ok = false;
    FileError error; // the old file is then untouched, or the new one whole at the name
};

// What the lock's name held when the lock could not be created.
struct LockAttempt {
    enum class Status {
        Held,         // ours for the run
        Unlocked,     // the folder takes no lock (it cannot be written)
        Taken,        // a lock stands there; pid, host and name say whose when they can
        OtherAccount, // another account's lock, which we may not even read
        NotAFile,     // something that is not a regular file has the lock's name
    };
    Status status = Status::Unlocked;
    qint64 pid = 0;
    QString host{};    // empty when the lock does not say
    QByteArray name{}; // the program that wrote it
};

class LedgerFiles {
  public:
    // The program's folder, opened once; where the ledger file really is is found here too,
    // so that the lock guards the file a link at its name leads to.
    static std::unique_ptr<LedgerFiles> Open(const QByteArray& folder, FileError* why);

    // Paths for messages.
    QString LedgerShown() const;
    QString PlainCopyShown() const;
    QString LockShown() const;
    QString FolderShown() const;

    LockAttempt TakeLock();
    // A lock that was not ours, once the user or its dead holder's absence says it may go.
    bool RemoveForeignLock();
    // Removes the lock if it is still the one taken; safe as the process exits.
    void ReleaseLock();
    // Removes what saves cut short left: our temporary names, the user's regular files only.
    // Call only while the lock is held, so that no other copy is saving here.
    void RemoveStaleTemporaries() const;

    // Reads at most MaxLedgerFileLength + 1 bytes, so that a longer file is known to be too
    // long without being read whole; remembers what it found.
    LoadResult LoadLedgerFile();
    // True when the file at the ledger's name is not the one last read or saved.
    bool LedgerFileChanged() const;
    // Both write the bytes followed by CR LF, owner-only. A link at the name made by another
    // account is not followed: the save fails.
    SaveResult SaveLedgerFile(const QByteArray& enciphered);
    SaveResult SavePlainCopy(const QByteArray& plain);
    // For a save that cannot ask before replacing a changed file: this run's ledger beside it,
    // under a name of this run's own. Returns that name's path when saved.
    SaveResult SaveLedgerBeside(const QByteArray& enciphered, QString* shown);

  private:
    LedgerFiles(Folder folder, Folder::Place ledger);
    struct NameIn {
        const Folder& folder;
        QByteArray name;
    };
    NameIn Lock() const;

    Folder folder;
    Folder::Place ledger; // where the ledger file is, its link followed
    // The ledger file's bytes as last read or written; none when there was no file.
    std::optional<QByteArray> remembered;
    bool lockHeld = false;
    FileIdentity lockIdentity;
};
