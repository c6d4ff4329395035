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

bool Folder::SameAs(const Folder& other) const {
    return handle->path == other.handle->path;
}

std::optional<Folder> Folder::Current(FileError* why) const {
    if (QFileInfo(Shown()).isDir()) return *this;
    *why = {FileError::Kind::FolderGone, {}};
    return std::nullopt;
}

Folder::Place Folder::Resolve(const QByteArray& name) const {
    const QFileInfo info(handle->Path(name));
    if (info.isSymLink() && !info.exists())
        return {std::nullopt, name, {FileError::Kind::DanglingLink, {}}};
    return {*this, name, {}};
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
    return {FileRead::Status::Loaded, bytes, {}, 1};
}

FileWrite Folder::Replace(const QByteArray& name, const QByteArray& bytes,
                          const Replacing& replacing) const {
    const auto failed = [](const QFileDevice& file) {
        return FileWrite{FileWrite::Status::Failed, QtError(file)};
    };
    // Checked right before the replace: Qt cannot swap two names at once.
    if (!replacing.anything) {
        const FileWrite judged =
            FileWrite::Judge(Read(name, replacing.was ? replacing.was->size() : 0), replacing);
        if (!judged.InPlace()) return judged;
    }
    QSaveFile file(handle->Path(name));
    // Unbuffered, so that a disk filling up fails the write itself: Qt 6.4 can lose a failed
    // flush of its own buffer inside commit() and then replace the old file with an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return failed(file);
    // A short write carries no error; the next write reports why the disk refused.
    // Returning without commit() discards the new file and keeps the old one.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return failed(file);
        done += written;
    }
    if (!file.commit()) return failed(file);
    return {};
}

struct HeldLock::State {
    QFile file;
};

HeldLock::HeldLock(std::unique_ptr<State> state) : state(std::move(state)) {}

HeldLock::~HeldLock() = default;

// Qt offers no lock that the system frees with the process: the lock's lines must tell.
bool HeldLock::Kernel() const {
    return false;
}

bool HeldLock::Write(const QByteArray& content) const {
    return state->file.resize(0) && state->file.write(content) == content.size() &&
           state->file.flush();
}

void HeldLock::Release() {
    if (!state->file.isOpen()) return;
    state->file.close();
    state->file.remove();
}

LockTry Folder::Lock(const QByteArray& name) const {
    const Entry entry = Look(name);
    if (entry.kind != Entry::Kind::None && entry.kind != Entry::Kind::Regular)
        return {.status = LockTry::Status::NotAFile};
    auto state = std::make_unique<HeldLock::State>();
    state->file.setFileName(handle->Path(name));
    if (!state->file.open(QIODevice::ReadWrite))
        return {.status = LockTry::Status::NotCreated, .error = QtError(state->file)};
    const QByteArray content = state->file.read(4096);
    return {.status = LockTry::Status::Held,
            .content = content,
            .lock = std::make_unique<HeldLock>(std::move(state))};
}

Entry Folder::Look(const QByteArray& name) const {
    const QFileInfo info(handle->Path(name));
    if (!info.exists() && !info.isSymLink()) return {};
    const Entry::Kind kind = info.isSymLink() ? Entry::Kind::Link
                             : info.isDir()   ? Entry::Kind::Folder
                             : info.isFile()  ? Entry::Kind::Regular
                                              : Entry::Kind::Other;
    return {kind, true};
}

// QSaveFile removes its own temporary when a save fails; one cut short by a kill has a name
// of Qt's choosing, which is left alone.
void Folder::RemoveStaleTemporaries(const QList<QByteArray>&) const {}

QList<QByteArray> Folder::Names() const {
    QList<QByteArray> names;
    for (const QString& name : QDir(Shown()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden))
        names.append(QFile::encodeName(name));
    return names;
}
