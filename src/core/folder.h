// A folder held open for the run, and the few things done to names within it. Every name is
// reached through the open folder, so a folder renamed or moved while it is held is still
// the one read and written.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

// Why a file could not be read or written.
struct FileError {
    enum class Kind {
        None,
        System,       // the system refused; `system` says why, in its own words
        Folder,       // a folder has the file's name
        NotRegular,   // a pipe, device, socket or link has the file's name
        ForeignLink,  // a link made by another account has the file's name
        DanglingLink, // a link at the name leads to nothing (a drive not mounted, say)
    };
    Kind kind = Kind::None;
    QString system;
};

// Which file a name stood for, so that a lock of ours is told from one put in its place.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileRead {
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes; // exactly as stored
    FileError error;
};

struct FileWrite {
    bool ok = false;
    FileError error;      // the old file is untouched unless `renamed`
    bool renamed = false; // the new file took the name (its folder's sync may still have failed)
};

// What stands at a name, links not followed.
struct Entry {
    enum class Kind { None, Regular, Folder, Link, Other };
    Kind kind = Kind::None;
    bool usersOwn = false; // owned by the account the program runs as
    int error = 0;         // errno when the name could not be looked at
};

class Folder {
  public:
    // The folder at path, given as the system's bytes (no text decoding can fail on it).
    static std::optional<Folder> Open(const QByteArray& path, FileError* why);

    // The folder's path as opened, and a name within it, for messages.
    QString Shown() const;
    QString Shown(const QByteArray& name) const;

    // Where a name leads: the user's own links, and root's, are followed (another account's
    // planted link would make us read or write a file of its choosing). A link whose target
    // is not there is an error, never a missing file.
    struct Place;
    Place Resolve(const QByteArray& name) const;

    // Only a regular file, no link followed, never blocking, at most maxBytes + 1 bytes.
    FileRead Read(const QByteArray& name, qsizetype maxBytes) const;
    // A complete new file, owner-only, takes the name; done only once the folder is synced.
    FileWrite Replace(const QByteArray& name, const QByteArray& bytes) const;
    // Creates the file only when nothing stands at the name. Exists when something does.
    enum class Created { Yes, Exists, Refused };
    Created CreateNew(const QByteArray& name, const QByteArray& bytes, FileIdentity* identity,
                      FileError* why) const;
    Entry Look(const QByteArray& name) const;
    FileIdentity IdentityOf(const QByteArray& name) const; // empty when not a regular file
    bool Remove(const QByteArray& name) const;
    QList<QByteArray> Names() const;

  private:
    struct Handle;
    explicit Folder(std::shared_ptr<const Handle> handle);
    std::shared_ptr<const Handle> handle;
};

// Where a name leads (see Folder::Resolve). Missing: nothing stands at the name itself.
struct Folder::Place {
    std::optional<Folder> folder; // none on error
    QByteArray name;
    bool missing = false;
    FileError error;
};

// The folder of the running program as the system's bytes; none when it cannot be told.
std::optional<QByteArray> ProgramFolder();

// This process's id and name, for the lock; whether a process of that name still runs here.
qint64 ProcessId();
QByteArray ProcessName();
bool ProcessRuns(qint64 pid, const QByteArray& name);
