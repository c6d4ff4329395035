// The system calls the save and lock protocol makes (file_protocol.h), one step each: the
// seam through which the suite fails any call, or stops the run right after it. The platform
// halves (folder_posix.cpp, folder_win.cpp) implement it and hold nothing but the calls.
#pragma once

#include "core/folder.h"

#include <QByteArray>
#include <QList>

// The system's own code for a failure: errno, or GetLastError() on Windows; 0 for none.
using SysCode = qint64;

// What a code means to the protocol; everything else is a plain failure.
enum class Means {
    Done,        // no failure
    Exists,      // something already has the name
    Missing,     // nothing has the name
    Busy,        // another program has the file open for a moment (a sharing violation)
    Unsupported, // the file system does not offer the call at all
    Denied,      // no permission
    NoWrites,    // the medium takes no writes at all
    Other,
};
Means Meaning(SysCode code);
FileError SystemError(SysCode code);

class FileCalls {
  public:
    using Handle = qintptr; // an open file; NoHandle when none
    static constexpr Handle NoHandle = -1;

    virtual ~FileCalls() = default;

    // A new file at name, owner-only, for writing; fails when anything has the name.
    virtual SysCode Create(const Folder& at, const QByteArray& name, Handle* file) = 0;
    // The permissions, group and attributes of the regular file at `from`, where it may.
    virtual SysCode CopyAttributes(const Folder& at, const QByteArray& from, Handle file) = 0;
    virtual SysCode Write(Handle file, const QByteArray& bytes) = 0;
    // The file's data on the disk.
    virtual SysCode Sync(Handle file) = 0;
    virtual void Close(Handle file) = 0;

    // from takes the name to: replacing what has it, or only where nothing has it.
    virtual SysCode Rename(const Folder& at, const QByteArray& from, const QByteArray& to,
                           bool replace) = 0;
    // The two names swap their files, with no moment in which either name is empty.
    virtual SysCode Exchange(const Folder& at, const QByteArray& one, const QByteArray& other) = 0;
    virtual SysCode Remove(const Folder& at, const QByteArray& name) = 0;
    // The folder's names (renames, new and removed files) on the disk.
    virtual SysCode SyncFolder(const Folder& at) = 0;

    // Only a regular file, no link followed, never blocking, at most maxBytes + 1 bytes.
    virtual FileRead Read(const Folder& at, const QByteArray& name, qsizetype maxBytes) = 0;
    virtual Entry Look(const Folder& at, const QByteArray& name) = 0;
    virtual QList<QByteArray> Names(const Folder& at) = 0;

    // The lock: an existing regular file opened for reading and writing, no link followed;
    // on Windows with no sharing, so that a holder's open makes it Busy.
    virtual SysCode OpenLock(const Folder& at, const QByteArray& name, Handle* file) = 0;
    // Busy when another program has it open with no copy's exclusive hold (Windows only).
    virtual SysCode OpenShared(const Folder& at, const QByteArray& name) = 0;
    // The kernel's lock on the whole file, freed when the holder ends: Busy when another
    // holds it, Unsupported where the file system keeps none.
    virtual SysCode HoldLock(Handle file) = 0;
    virtual SysCode ReadAll(Handle file, qsizetype maxBytes, QByteArray* bytes) = 0;
    // Its lines rewritten whole.
    virtual SysCode Rewrite(Handle file, const QByteArray& bytes) = 0;
    // Whether name still leads to the open file: Missing when not.
    virtual SysCode Leads(const Folder& at, const QByteArray& name, Handle file) = 0;
    // The user's own read-only file made writable for its owner.
    virtual SysCode MakeWritable(const Folder& at, const QByteArray& name) = 0;
    // The held file's name removed, only while it leads to this file; the file closed.
    virtual void RemoveHeld(const Folder& at, const QByteArray& name, Handle file) = 0;
};

// The running system's own calls.
FileCalls& SystemCalls();
