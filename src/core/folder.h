// A folder held open for the run, and the few things done to names within it. Every name is
// reached through the open folder, so a folder renamed or moved while it is held is still
// the one read and written.
#pragma once

#include "core/file_error.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

struct FileRead {
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // exactly as stored
    FileError error;
    quint64 names = 0; // how many names (hard links) the file has
};

// What a new file may take the place of.
struct Replacing {
    bool anything = true;
    std::optional<QByteArray> was; // unless anything: the file as known, none for no file

    static Replacing Anything() { return {}; }
    // Only the file as it was known, or nothing: a file that another program put at the name
    // since is kept. A name where nothing stands any more takes the new file.
    static Replacing Only(std::optional<QByteArray> was) { return {false, std::move(was)}; }
    // Only where nothing stands.
    static Replacing Nothing() { return Only(std::nullopt); }
};

struct FileWrite {
    enum class Status {
        Written,    // whole at the name, and on the disk
        NotDurable, // whole at the name, but the folder could not be synced: `error` says why
        Changed,    // another file stands at the name: it stays, and nothing was written
        Unchecked,  // what stands at the name could not be read to tell: `error` says why
        Failed,     // nothing written, the old file untouched: `error` says why
    };
    Status status = Status::Written;
    FileError error;

    bool InPlace() const { return status == Status::Written || status == Status::NotDurable; }

    // Whether what a read found at the name may be replaced: Written when it may.
    static FileWrite Judge(const FileRead& found, const Replacing& replacing) {
        if (found.status == FileRead::Status::Unreadable) return {Status::Unchecked, found.error};
        if (found.status == FileRead::Status::Missing || found.bytes == replacing.was) return {};
        return {Status::Changed, {}};
    }
};

// What stands at a name, links not followed.
struct Entry {
    enum class Kind { None, Regular, Folder, Link, Other };
    Kind kind = Kind::None;
    bool usersOwn = false; // owned by the account the program runs as
};

class HeldLock;

// What became of an attempt to hold a lock file.
struct LockTry {
    enum class Status {
        Held,         // the kernel's lock is ours, or the file system takes none (`kernel`)
        Busy,         // another process holds the kernel's lock on it
        NotAFile,     // something that is not a regular file has the name
        OtherAccount, // another account's file has the name
        NotCreated,   // it could not be created or opened: `error` says why
    };
    Status status = Status::NotCreated;
    QByteArray content{}; // what the file held, when it could be read
    FileError error{};
    std::unique_ptr<HeldLock> lock{}; // when Held
};

class Folder {
  public:
    // The folder at path, given as the system's bytes (no text decoding can fail on it).
    static std::optional<Folder> Open(const QByteArray& path, FileError* why);

    // The folder's path as opened, and a name within it, for messages.
    QString Shown() const;
    QString Shown(const QByteArray& name) const;
    bool SameAs(const Folder& other) const;

    // This folder, or the one now at its path when this one was deleted or another took its
    // path; none (why says) when it was deleted and nothing is at its path.
    std::optional<Folder> Current(FileError* why) const;

    // Where a name leads: the user's own links, and root's, are followed (another account's
    // planted link would make us read or write a file of its choosing). A link whose target
    // is not there is an error, never a missing file.
    struct Place;
    Place Resolve(const QByteArray& name) const;

    // Only a regular file, no link followed, never blocking, at most maxBytes + 1 bytes.
    FileRead Read(const QByteArray& name, qsizetype maxBytes) const;
    // A complete new file takes the name, with the old one's permissions and attributes
    // (owner-only when there was none); done only once the folder is synced. What stands at
    // the name is checked as the new file takes its place, so no other writer slips between.
    FileWrite Replace(const QByteArray& name, const QByteArray& bytes,
                      const Replacing& replacing = Replacing::Anything()) const;
    // Holds the lock file at name for the run, creating it owner-only when it is not there.
    LockTry Lock(const QByteArray& name) const;
    Entry Look(const QByteArray& name) const;
    // Removes what Replace left of a save cut short at any of these names: its temporaries,
    // the user's own regular files only. Only while no other copy can be saving here.
    void RemoveStaleTemporaries(const QList<QByteArray>& names) const;
    QList<QByteArray> Names() const;

  private:
    struct Handle;
    explicit Folder(std::shared_ptr<const Handle> handle);
    std::shared_ptr<const Handle> handle;
    friend class HeldLock;
};

// Where a name leads (see Folder::Resolve).
struct Folder::Place {
    std::optional<Folder> folder; // none on error
    QByteArray name;
    FileError error;
};

// A lock file kept open for the run. The kernel's lock on it ends with the process, however
// it ends; the file stays open so that its name is removed only while it is still this one.
class HeldLock {
  public:
    struct State; // the platform's open file
    explicit HeldLock(std::unique_ptr<State> state);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    // False where the file system takes no lock, so that only its lines can tell.
    bool Kernel() const;
    bool Write(const QByteArray& content) const;
    // Removes the file if its name still leads to it, then lets it go; safe as the process
    // exits.
    void Release();

  private:
    std::unique_ptr<State> state;
};
