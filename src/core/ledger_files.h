// The ledger file, the plain copy and the lock in the program's folder, held for the run:
// bounded reads of regular files, saves that replace the old file only once the new one is
// complete and on disk, and a memory of the ledger file as read, so that a file changed
// behind the program's back is never overwritten without a word.
#pragma once

#include "core/folder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// What became of a save: in place (and whether on the disk), or why not.
using SaveResult = FileWrite;

// What taking the lock came to.
struct LockAttempt {
    enum class Status {
        Held,         // ours for the run
        Open,         // another copy of the program holds it
        Uncheckable,  // nobody here holds it, but it was written on another host (or where the
                      // file system keeps no locks, by a copy that cannot be checked): pid,
                      // host and name say whose when they can
        OtherAccount, // another account's lock, which we may not even read
        NotAFile,     // something that is not a regular file has the lock's name
        NotCreated,   // the folder takes no lock (it cannot be written, say): `error` says why
    };
    Status status = Status::NotCreated;
    qint64 pid = 0;
    QString host{};    // empty when the lock does not say
    QByteArray name{}; // the program that wrote it
    FileError error{};
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
    // An Uncheckable lock, once the user says it may be taken over.
    void TakeOverLock();
    // Removes the lock if it is still the one taken; safe as the process exits.
    void ReleaseLock();
    // Removes what saves cut short left: our temporary names, the user's regular files only.
    // Call only while the lock is held, so that no other copy is saving here.
    void RemoveStaleTemporaries() const;
    // What earlier runs kept beside the ledger file (see SaveLedgerBeside), for messages.
    QStringList KeptFiles() const;

    // Reads at most MaxLedgerFileLength + 1 bytes, so that a longer file is known to be too
    // long without being read whole; remembers what it found. Missing is the normal state before the first save; Unreadable must never be taken for
    // an empty ledger, or the next save would overwrite the real one.
    FileRead LoadLedgerFile();
    // Each writes the file's bytes as given (see ledger_file_format.h), owner-only for a new
    // file. A link at the name made by another account is not followed: the save fails.
    // Before each, a program folder that was deleted or replaced is left for the one now at
    // its path.
    //
    // Once the ledger file was read, it is replaced only while it is the one last read or
    // saved, or gone: another file there is Changed (or Unchecked), and stays.
    SaveResult SaveLedgerFile(const QByteArray& bytes);
    // Whatever stands at the ledger's name, once the user said so.
    SaveResult ReplaceLedgerFile(const QByteArray& bytes);
    SaveResult SavePlainCopy(const QByteArray& bytes);
    // For a save that cannot ask before replacing a changed file: this run's ledger beside it,
    // under a name no file had. Returns that name's path when saved.
    SaveResult SaveLedgerBeside(const QByteArray& bytes, QString* shown);

  private:
    LedgerFiles(Folder folder, Folder::Place ledger);
    struct NameIn {
        const Folder& folder;
        QByteArray name;
    };
    NameIn Lock() const;
    bool FollowFolder(FileError* why);
    SaveResult WriteLedger(const QByteArray& bytes, const Replacing& replacing);

    Folder folder;
    Folder::Place ledger; // where the ledger file is, its link followed
    // What a save may replace: anything until the ledger file is read, then only that file
    // as last read or written.
    Replacing ledgerAsKnown;
    std::unique_ptr<HeldLock> lock; // once taken, or while the user decides on it
    bool lockHeld = false;
    QByteArray kept;            // this run's file beside the ledger file, once written
    QByteArray keptBytes;
};
