// The ledger file, the plain copy and the lock in the program's folder, held for the run:
// bounded reads of regular files, saves that replace the old file only once the new one is
// complete and on disk, and a memory of the ledger file as read, so that a file changed
// behind the program's back is never overwritten without a word.
#pragma once

#include "core/file_protocol.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class LedgerFiles {
  public:
    // The program's folder, opened once; where the ledger file really is is found here too,
    // so that the lock guards the file a link at its name leads to.
    static OrWhy<std::unique_ptr<LedgerFiles>> Open(const QByteArray& folder,
                                                    FileCalls& calls = SystemCalls());

    // Paths for messages.
    QString LedgerShown() const;
    QString PlainCopyShown() const;
    QString LockShown() const;
    QString FolderShown() const;

    LockOutcome TakeLock();
    // An Uncheckable lock, once the user says it may be taken over.
    void TakeOverLock();
    // Removes the lock if it is still the one taken; safe as the process exits.
    void ReleaseLock();
    // Puts right what saves cut short left (see file_protocol.h). Call only while the lock
    // is held, so that no other copy is saving here.
    void RemoveStaleTemporaries() const;
    // What earlier runs kept beside the ledger file and the plain copy.
    QList<KeptFile> KeptFiles() const;

    // Reads at most MaxLedgerFileLength + 1 bytes, so that a longer file is known to be too
    // long without being read whole; remembers what it found. Missing is the normal state before
    // the first save; Unreadable must never be taken for an empty ledger, or the next save would
    // overwrite the real one.
    FileRead LoadLedgerFile();
    // Each writes the file's bytes as given (see ledger_file_format.h), owner-only for a new
    // file. A link at the name made by another account is not followed: the save fails.
    // Before each, a program folder that was deleted or replaced is left for the one now at
    // its path, and the ledger's name followed anew to where it leads now.
    //
    // Once the ledger file was read, it is replaced only while it is the one last read or
    // saved, or gone: another file there is Changed (or Unchecked), and stays.
    FileWrite SaveLedgerFile(const QByteArray& bytes);
    // Whatever stands at the ledger's name, once the user said so.
    FileWrite ReplaceLedgerFile(const QByteArray& bytes);
    FileWrite SavePlainCopy(const QByteArray& bytes);
    // For a save that cannot ask, or could not write the ledger file: this run's ledger beside
    // it, under a name no file had (a run's own kept file is brought up to date), whose path
    // `kept` gives when saved.
    FileWrite SaveLedgerBeside(const QByteArray& bytes, KeptFile::Why why);

  private:
    LedgerFiles(FileCalls& calls, Folder folder);
    Folder::Place Ledger() const;
    // None, or why the program's folder is gone with none at its path.
    FileError FollowFolder();
    FileWrite WriteLedger(const QByteArray& bytes, const Replacing& replacing);

    FileCalls& calls;
    FileProtocol protocol;
    Folder folder;
    Folder::Place lockPlace; // beside the file the ledger's name led to at the start
    // What a save may replace: anything until the ledger file is read, then only that file
    // as last read or written.
    Replacing ledgerAsKnown;
    std::unique_ptr<HeldLock> lock; // once taken, or while the user decides on it
    bool lockHeld = false;
    QByteArray kept; // this run's file beside the ledger file, once written
    QByteArray keptBytes;
};
