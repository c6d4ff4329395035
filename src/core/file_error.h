// Why a file could not be read or written, as every layer that reports it sees it.
#pragma once

#include <QString>

struct FileError {
    enum class Kind {
        None,
        System,       // the system refused; `system` says why, in its own words
        Folder,       // a folder has the file's name
        NotRegular,   // a pipe, device, socket or link has the file's name
        ForeignLink,  // a link made by another account has the file's name
        DanglingLink, // a link at the name leads to nothing (a drive not mounted, say)
        FolderGone,   // the folder was deleted or moved away, and none has its name now
        ReadOnly,     // the file is marked read-only, which Windows will not let a save replace
    };
    Kind kind = Kind::None;
    QString system;  // the system's own words, as it gives them
    qint64 code = 0; // and its number for the error
};

// A value, or why there is none.
template <typename T> struct OrWhy {
    T value{};
    FileError why{};
};
