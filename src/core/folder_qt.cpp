#include "core/folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

// Where there are no POSIX descriptors: Qt's own files, reached by path. Links are not owned
// there the way they are on POSIX systems, so none is refused, and a folder that moves while
// held is not followed.

namespace {
FileError QtError(const QFileDevice& file) {
    return {FileError::Kind::System, file.errorString()};
}
} // namespace

struct Folder::Handle {
    QByteArray path;
    QString Path(const QByteArray& name) const { return QFile::decodeName(path + "/" + name); }
};

Folder::Folder(std::shared_ptr<const Handle> handle) : handle(std::move(handle)) {}

std::optional<Folder> Folder::Open(const QByteArray& path, FileError* why) {
    if (!QFileInfo(QFile::decodeName(path)).isDir()) {
        *why = {FileError::Kind::System, QStringLiteral("Not a folder")};
        return std::nullopt;
    }
    return Folder(std::make_shared<const Handle>(Handle{path}));
}

QString Folder::Shown() const {
    return QFile::decodeName(handle->path);
}

QString Folder::Shown(const QByteArray& name) const {
    return handle->Path(name);
}

Folder::Place Folder::Resolve(const QByteArray& name) const {
    const QFileInfo info(handle->Path(name));
    if (info.isSymLink() && !info.exists())
        return {std::nullopt, name, false, {FileError::Kind::DanglingLink, {}}};
    return {*this, name, !info.exists(), {}};
}

FileRead Folder::Read(const QByteArray& name, qsizetype maxBytes) const {
    const auto unreadable = [](FileError error) {
        return FileRead{FileRead::Status::Unreadable, {}, std::move(error)};
    };
    const QFileInfo info(handle->Path(name));
    if (!info.exists()) return {};
    if (info.isDir()) return unreadable({FileError::Kind::Folder, {}});
    if (!info.isFile()) return unreadable({FileError::Kind::NotRegular, {}});
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) return unreadable(QtError(file));
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) return unreadable(QtError(file));
    return {FileRead::Status::Loaded, bytes, {}};
}

FileWrite Folder::Replace(const QByteArray& name, const QByteArray& bytes) const {
    QSaveFile file(handle->Path(name));
    // Unbuffered, so that a disk filling up fails the write itself: Qt 6.4 can lose a failed
    // flush of its own buffer inside commit() and then replace the old file with an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return {false, QtError(file), false};
    // A short write carries no error; the next write reports why the disk refused.
    // Returning without commit() discards the new file and keeps the old one.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return {false, QtError(file), false};
        done += written;
    }
    if (!file.commit()) return {false, QtError(file), false};
    return {true, {}, true};
}

Folder::Created Folder::CreateNew(const QByteArray& name, const QByteArray& bytes,
                                  FileIdentity* identity, FileError* why) const {
    QFile file(handle->Path(name));
    if (QFileInfo(file.fileName()).exists() || QFileInfo(file.fileName()).isSymLink())
        return Created::Exists;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size()) {
        *why = QtError(file);
        return Created::Refused;
    }
    *identity = IdentityOf(name);
    return Created::Yes;
}

Entry Folder::Look(const QByteArray& name) const {
    const QFileInfo info(handle->Path(name));
    if (!info.exists() && !info.isSymLink()) return {};
    const Entry::Kind kind = info.isSymLink() ? Entry::Kind::Link
                             : info.isDir()   ? Entry::Kind::Folder
                             : info.isFile()  ? Entry::Kind::Regular
                                              : Entry::Kind::Other;
    return {kind, true, 0};
}

// Without inodes, a file's size and time of change stand for which file it is.
FileIdentity Folder::IdentityOf(const QByteArray& name) const {
    const QFileInfo info(handle->Path(name));
    if (!info.isFile() || info.isSymLink()) return {};
    return {quint64(info.size()), quint64(info.lastModified().toMSecsSinceEpoch())};
}

bool Folder::Remove(const QByteArray& name) const {
    return QFile::remove(handle->Path(name));
}

QList<QByteArray> Folder::Names() const {
    QList<QByteArray> names;
    for (const QString& name : QDir(Shown()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden))
        names.append(QFile::encodeName(name));
    return names;
}

std::optional<QByteArray> ProgramFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty()) return std::nullopt;
    return QFile::encodeName(folder);
}

qint64 ProcessId() {
    return QCoreApplication::applicationPid();
}

QByteArray ProcessName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8();
}

// Without a way to ask after another process, a lock of this host is taken to be alive.
bool ProcessRuns(qint64, const QByteArray&) {
    return true;
}
