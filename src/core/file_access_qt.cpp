#include "core/file_access.h"

#include <QFileInfo>
#include <QSaveFile>

// Where there are no POSIX descriptors: Qt's own files. Links are not owned there the way
// they are on POSIX systems, so none is refused.

LoadResult ReadRegularFile(const QString& path, qsizetype maxBytes) {
    const auto unreadable = [](FileError error) {
        return LoadResult{LoadResult::Status::Unreadable, {}, std::move(error)};
    };
    const QFileInfo info(path);
    if (!info.exists()) return {LoadResult::Status::Missing, {}, {}};
    if (info.isDir()) return unreadable({FileError::Kind::Folder, {}});
    if (!info.isFile()) return unreadable({FileError::Kind::NotRegular, {}});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable({FileError::Kind::System, file.errorString()});
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable({FileError::Kind::System, file.errorString()});
    return {LoadResult::Status::Loaded, bytes, {}};
}

SaveResult ReplaceFile(const QString& path, const QByteArray& bytes) {
    const auto failed = [](const QFileDevice& file) {
        return SaveResult{false, {FileError::Kind::System, file.errorString()}};
    };
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up fails the write itself: Qt 6.4 can lose a failed
    // flush of its own buffer inside commit() and then replace the old file with an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failed(file);
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return failed(file);
    // A short write carries no error; the next write reports why the disk refused.
    // Returning without commit() discards the new file and keeps the old one.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return failed(file);
        done += written;
    }
    if (!file.commit()) return failed(file);
    return {true, {}};
}
