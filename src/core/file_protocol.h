// How the program's files are saved, kept and locked, on every system, through the calls of
// file_calls.h. No step ever removes a file that may hold a ledger this run did not write.
//
// Names beside a file NAME, all in its folder:
//   .NAME.<pid>.<n>        a new file being written: only ever this run's own bytes
//   .NAME.<pid>.<n>.aside  a whole new file about to take NAME, or what NAME held before
//   NAME.kept-<n>[.<why>]  a ledger kept beside NAME, never replaced by another
//   NAME.lock              the lock, held open for the run
//
// A save (Replace):
//   1. Create .new, copy NAME's permissions and attributes onto it, write it, sync its data.
//      A crash leaves a .new file: the next start removes it.
//   2. Rename .new to .aside (only where nothing has that name). From here the new file is
//      whole, and a crash leaves it for the next start to keep.
//   3. Exchange .aside and NAME (Windows: ReplaceFileW with a backup name, then that backup
//      renamed to .aside). NAME holds the new file, .aside what NAME held.
//      Nothing at NAME: .aside is renamed to NAME where nothing has it yet.
//      A system that cannot exchange (any answer but Missing or Busy): what NAME holds is
//      judged first, then .aside renamed over it.
//      A crash leaves the old file at .aside: the next start keeps it, unless it is the same
//      bytes as NAME.
//   4. Judge .aside: the file as last read or saved (or nothing) is removed. Another file is
//      put back by exchanging the two again; where that fails, it is renamed to a kept name
//      (.other), and left at .aside where even that fails, to be kept at the next start.
//   5. Sync the folder, so that the renames survive a power cut.
//   A Busy answer (Windows' sharing violation) is tried again for half a second.
//   A save that may replace anything (the plain copy, or the user said so) renames .new over
//   NAME at step 2 and has no steps 3 and 4.
//
// A kept file (Keep): step 1, then .new renamed to the next free kept number (only where
// nothing has that name). A run brings its own kept file up to date by a save of it.
//
// The lock (Lock): where NAME.lock is not there, it is written whole under a .new name and
// renamed into place only where nothing has that name, so an empty lock is never a fresh one.
// It is then opened (never through a second name), the kernel's lock taken on it, and its
// name checked to still lead to it. Its lines (pid, program, host) decide only where the
// kernel keeps no locks, or when they name another host. Releasing removes the name only
// while it still leads to the file held open. A crash leaves a lock nobody holds: taken over.
//
// The start (Sweep), while the lock is held: .new files are removed; .aside files are kept
// under a kept name (.found), unless they hold the same bytes as NAME.
#pragma once

#include "core/file_calls.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

// A fresh name of the .aside kind beside name (Windows' replace takes one as its backup).
QByteArray AsideName(const QByteArray& name);

// A ledger kept beside the file it was kept for.
struct KeptFile {
    enum class Why {
        Changed,   // the file had been changed by another program: this run's ledger
        Unchecked, // the file could not be read to check: this run's ledger
        Unwritten, // the file could not be written: this run's ledger
        Other,     // another program's file, which a save could not put back
        Found,     // found after a save cut short: an earlier ledger, or another program's
    };
    Why why = Why::Changed;
    QString path;    // for messages
    QString folder;  // where it is
    QByteArray name; // the name it was kept for, in that folder
};

// A lock file kept open for the run. The kernel's lock on it ends with the process, however
// it ends; the file stays open so that its name is removed only while it is still this one.
class HeldLock {
  public:
    HeldLock(FileCalls& calls, Folder at, QByteArray name, FileCalls::Handle file, bool kernel);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    // False where the file system takes no lock, so that only its lines can tell.
    bool Kernel() const { return kernel; }
    void Write(const QByteArray& lines) const;
    // Removes the file if its name still leads to it, then lets it go; safe as the process
    // exits.
    void Release();

  private:
    FileCalls& calls;
    Folder at;
    QByteArray name;
    FileCalls::Handle file;
    bool kernel;
};

// What taking the lock came to, from the file system to the box that tells it.
struct LockOutcome {
    enum class Status {
        Held,         // ours for the run
        Open,         // another copy of the program holds it
        InUse,        // another program has the lock file open (a backup, a sync tool)
        Uncheckable,  // nobody here holds it, but it was written on another host (or where the
                      // file system keeps no locks, by a copy that cannot be checked): pid,
                      // host and name say whose when they can
        OtherAccount, // another account's lock, which we may not even read
        NotAFile,     // something that is not a regular file has the lock's name
        Linked,       // the lock's name is a second name of another file, never written
        Unopened,     // it is there but cannot be opened: `error` says why
        NotCreated,   // the folder takes no lock (it cannot be written, say): `error` says why
        Declined,     // Uncheckable, and the user chose to keep it
    };
    Status status = Status::NotCreated;
    qint64 pid = 0;
    QString host{};    // empty when the lock does not say
    QByteArray name{}; // the program that wrote it
    FileError error{};
};

class FileProtocol {
  public:
    explicit FileProtocol(FileCalls& calls) : calls(calls) {}

    // A complete new file takes the name, with the old one's permissions and attributes
    // (owner-only when there was none); done only once the folder is synced.
    FileWrite Replace(const Folder& at, const QByteArray& name, const QByteArray& bytes,
                      const Replacing& replacing = Replacing::Anything()) const;
    // A new file beside name under the next free kept number; `kept` names it when saved.
    struct Kept {
        FileWrite written;
        QByteArray kept;
    };
    Kept Keep(const Folder& at, const QByteArray& name, const QByteArray& bytes,
              KeptFile::Why why) const;
    // What earlier runs kept beside each of names.
    QList<KeptFile> KeptBeside(const Folder& at, const QList<QByteArray>& names) const;
    // What saves cut short left beside names: removed where only this run's kind of file can
    // be, kept where another file may be. Only while no other copy can be saving here.
    void Sweep(const Folder& at, const QList<QByteArray>& names) const;

    struct Locked {
        LockOutcome outcome;
        std::unique_ptr<HeldLock> lock; // when Held or Uncheckable
    };
    // lines: what a new lock says of this run, written only where the lock is taken.
    Locked Lock(const Folder& at, const QByteArray& name, const QByteArray& lines) const;

  private:
    struct NewFile {
        QByteArray name; // the .new name holding the whole new file, when code is none
        SysCode code = 0;
    };
    NewFile WriteNew(const Folder& at, const QByteArray& name, const QByteArray& bytes,
                     bool sync) const;
    FileWrite PutBack(const Folder& at, const QByteArray& aside, const QByteArray& name,
                      FileWrite judged) const;
    SysCode KeepAs(const Folder& at, const QByteArray& from, const QByteArray& name,
                   KeptFile::Why why, QByteArray* kept) const;
    FileWrite Synced(const Folder& at, FileWrite done) const;
    FileWrite Failed(const Folder& at, const QByteArray& name, SysCode code) const;
    template <typename Call> SysCode Retried(Call call) const;

    FileCalls& calls;
};
