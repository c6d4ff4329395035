// A folder held open for the run, where its names lead, and the words for what a read or a
// write of a name came to. Every name is reached through the open folder, so a folder renamed
// or moved while it is held is still the one read and written.
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
        Displaced,  // whole at the name, but another program's file that had taken the name
                    // could not be put back (`error` says why): it is kept at `kept`
    };
    Status status = Status::Written;
    FileError error;
    QString kept{}; // where the displaced file is; for a file saved beside, where it is

    bool InPlace() const {
        return status == Status::Written || status == Status::NotDurable ||
               status == Status::Displaced;
    }

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
    bool readOnly = false; // its owner may not write it
    quint64 names = 1;     // how many names (hard links) the file has
};

class Folder {
  public:
    // The folder at path, given as the system's bytes (no text decoding can fail on it).
    static OrWhy<std::optional<Folder>> Open(const QByteArray& path);

    // The folder's path as opened, and a name within it, for messages.
    QString Shown() const;
    QString Shown(const QByteArray& name) const;
    bool SameAs(const Folder& other) const;

    // This folder, or the one now at its path when this one was deleted or another took its
    // path; none (with why) when it was deleted and nothing is at its path.
    OrWhy<std::optional<Folder>> Current() const;

    // Where a name leads: the user's own links, and root's, are followed (another account's
    // planted link would make us read or write a file of its choosing). A link whose target
    // is not there is an error, never a missing file.
    struct Place;
    Place Resolve(const QByteArray& name) const;

  private:
    struct Handle;
    explicit Folder(std::shared_ptr<const Handle> handle);
    std::shared_ptr<const Handle> handle;
    friend class SystemFileCalls;
};

// Where a name leads (see Folder::Resolve).
struct Folder::Place {
    std::optional<Folder>
        folder; // none on error, but for a DanglingLink into a folder that is there
    QByteArray name;
    FileError error;
};
