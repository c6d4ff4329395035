#include "core/ledger_files.h"

#include "core/ledger_file_format.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

LoadResult Unreadable(FileError::Kind kind, const QString& system = {}) {
    return {LoadResult::Status::Unreadable, {}, {kind, system}};
}

LoadResult Unreadable(int error) {
    return Unreadable(FileError::Kind::System, QString::fromLocal8Bit(std::strerror(error)));
}

SaveResult Failed(const QFileDevice& file) {
    return {false, {FileError::Kind::System, file.errorString()}};
}

#ifdef Q_OS_UNIX
// Where another account can write the folder, a link it planted would make us read or write
// a file it chose; only the user's own links (or root's) are followed.
bool UntrustedLink(const QString& path) {
    namespace fs = std::filesystem;
    fs::path at = QFileInfo(path).filesystemFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info;
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return false;
        if (info.st_uid != ::geteuid() && info.st_uid != 0) return true;
        std::error_code failure;
        const fs::path target = fs::read_symlink(at, failure);
        if (failure) return false;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return false;
}

LoadResult ReadRegularFile(const QString& path) {
    if (UntrustedLink(path)) return Unreadable(FileError::Kind::ForeignLink);
    // Non-blocking, so that a pipe at the name cannot hold the program; what it is, is then
    // checked on what was opened, not on the name.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // Only a file that is really absent means a new ledger.
        if (errno == ENOENT) return {LoadResult::Status::Missing, {}, {}};
        return Unreadable(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info;
    if (::fstat(fd, &info) != 0) return Unreadable(errno);
    if (S_ISDIR(info.st_mode)) return Unreadable(FileError::Kind::Folder);
    if (!S_ISREG(info.st_mode)) return Unreadable(FileError::Kind::NotRegular);

    QByteArray bytes(MaxLedgerFileLength + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Unreadable(errno);
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(got);
    return {LoadResult::Status::Loaded, bytes, {}};
}
#else
bool UntrustedLink(const QString&) {
    return false;
}

LoadResult ReadRegularFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return {LoadResult::Status::Missing, {}, {}};
    if (info.isDir()) return Unreadable(FileError::Kind::Folder);
    if (!info.isFile()) return Unreadable(FileError::Kind::NotRegular);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unreadable(FileError::Kind::System, file.errorString());
    QByteArray bytes = file.read(MaxLedgerFileLength + 1);
    if (file.error() != QFileDevice::NoError)
        return Unreadable(FileError::Kind::System, file.errorString());
    return {LoadResult::Status::Loaded, bytes, {}};
}
#endif

// The one writer of both files: the old file is replaced only by a complete new one.
SaveResult WriteWithLineEnd(const QString& path, const QByteArray& bytes) {
    // QSaveFile writes through a link at the name; only a trusted one may lead it elsewhere.
    if (UntrustedLink(path)) return {false, {FileError::Kind::ForeignLink, {}}};
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up fails the write itself: Qt 6.4 can lose a failed
    // flush of its own buffer inside commit() and then replace the old file with an empty one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return Failed(file);
    // The ledger is private; also tightens a file left by an older save.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return Failed(file);
    const QByteArray content = bytes + "\r\n";
    // A short write carries no error; the next write reports why the disk refused.
    // Returning without commit() discards the new file and keeps the old one.
    for (qint64 done = 0; done < content.size();) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0) return Failed(file);
        done += written;
    }
    if (!file.commit()) return Failed(file);
    return {true, {}};
}

} // namespace

QString LedgerFilePath(const QString& folder) {
    return folder + "/QcEcV3.1.Txt";
}

QString PlainCopyPath(const QString& folder) {
    return folder + "/QcUcV3.1.Txt";
}

QString LedgerLockPath(const QString& folder) {
    return LedgerFilePath(folder) + ".lock";
}

LoadResult LoadLedgerFile(const QString& folder) {
    return ReadRegularFile(LedgerFilePath(folder));
}

SaveResult SaveLedgerFile(const QString& folder, const QByteArray& enciphered) {
    return WriteWithLineEnd(LedgerFilePath(folder), enciphered);
}

SaveResult SavePlainCopy(const QString& folder, const QByteArray& plain) {
    return WriteWithLineEnd(PlainCopyPath(folder), plain);
}
