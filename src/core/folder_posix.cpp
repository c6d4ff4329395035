#include "core/folder.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Why(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileError SystemError(int error) {
    return {FileError::Kind::System, Why(error)};
}

class Fd {
  public:
    explicit Fd(int fd = -1) : fd(fd) {}
    Fd(Fd&& other) noexcept : fd(other.fd) { other.fd = -1; }
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd, other.fd);
        return *this;
    }
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int get() const { return fd; }

  private:
    int fd;
};

FileIdentity IdentityFrom(const struct stat& info) {
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

// Also runs as the process exits, when Qt's own helpers may be gone: only plain state here.
unsigned long temporaries = 0;

bool WriteAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        done += n;
    }
    return true;
}

QByteArray ReadLink(const char* path) {
    QByteArray target(4096, '\0');
    const ssize_t length = ::readlink(path, target.data(), size_t(target.size()));
    return length > 0 ? target.left(length) : QByteArray();
}

} // namespace

struct Folder::Handle {
    Fd fd;
    QByteArray path;
};

Folder::Folder(std::shared_ptr<const Handle> handle) : handle(std::move(handle)) {}

std::optional<Folder> Folder::Open(const QByteArray& path, FileError* why) {
    Fd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        *why = SystemError(errno);
        return std::nullopt;
    }
    return Folder(std::make_shared<const Handle>(Handle{std::move(fd), path}));
}

QString Folder::Shown() const {
    return QFile::decodeName(handle->path);
}

QString Folder::Shown(const QByteArray& name) const {
    return QFile::decodeName(handle->path + (handle->path.endsWith('/') ? "" : "/") + name);
}

Folder::Place Folder::Resolve(const QByteArray& start) const {
    Place place{*this, start, false, {}};
    for (int hop = 0; hop < 40; ++hop) {
        const int fd = place.folder->handle->fd.get();
        struct stat info;
        if (::fstatat(fd, place.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) return {std::nullopt, start, false, SystemError(errno)};
            // Only a name where nothing stands is a new file; a link's missing target may be
            // a drive not yet there, whose file a save would then replace.
            if (hop == 0) return {*this, start, true, {}};
            return {std::nullopt, start, false, {FileError::Kind::DanglingLink, {}}};
        }
        if (!S_ISLNK(info.st_mode)) return place;
        if (info.st_uid != ::geteuid() && info.st_uid != 0)
            return {std::nullopt, start, false, {FileError::Kind::ForeignLink, {}}};
        QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length =
            ::readlinkat(fd, place.name.constData(), target.data(), size_t(target.size()));
        if (length < 0) return {std::nullopt, start, false, SystemError(errno)};
        target.truncate(length);
        const qsizetype slash = target.lastIndexOf('/');
        if (slash < 0) {
            place.name = target;
            continue;
        }
        const QByteArray folderPath = slash == 0 ? QByteArray("/") : target.left(slash);
        Fd next(::openat(fd, folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (next.get() < 0) {
            if (errno == ENOENT)
                return {std::nullopt, start, false, {FileError::Kind::DanglingLink, {}}};
            return {std::nullopt, start, false, SystemError(errno)};
        }
        const QByteArray shown = target.startsWith('/')
                                     ? folderPath
                                     : place.folder->handle->path + "/" + folderPath;
        place.folder = Folder(std::make_shared<const Handle>(Handle{std::move(next), shown}));
        place.name = target.mid(slash + 1);
    }
    return {std::nullopt, start, false, SystemError(ELOOP)};
}

FileRead Folder::Read(const QByteArray& name, qsizetype maxBytes) const {
    const auto unreadable = [](FileError error) {
        return FileRead{FileRead::Status::Unreadable, {}, std::move(error)};
    };
    // Non-blocking, so that a pipe at the name cannot hold the program; what it is, is then
    // checked on what was opened, not on the name.
    const Fd file(::openat(handle->fd.get(), name.constData(),
                           O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT) return {};
        if (errno == ELOOP) return unreadable({FileError::Kind::NotRegular, {}});
        return unreadable(SystemError(errno));
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0) return unreadable(SystemError(errno));
    if (S_ISDIR(info.st_mode)) return unreadable({FileError::Kind::Folder, {}});
    if (!S_ISREG(info.st_mode)) return unreadable({FileError::Kind::NotRegular, {}});

    QByteArray bytes(maxBytes + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return unreadable(SystemError(errno));
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(got);
    return {FileRead::Status::Loaded, bytes, {}};
}

FileWrite Folder::Replace(const QByteArray& name, const QByteArray& bytes) const {
    const int folder = handle->fd.get();
    // A new file beside the old one, which takes the old one's name only once it is whole; the
    // rename replaces whatever stands at the name, a link included, and follows nothing.
    std::string temporary;
    Fd file;
    for (int attempt = 0; file.get() < 0 && attempt < 100; ++attempt) {
        temporary = "." + name.toStdString() + "." + std::to_string(::getpid()) + "." +
                    std::to_string(++temporaries);
        file = Fd(::openat(folder, temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0 && errno != EEXIST) break;
    }
    if (file.get() < 0) return {false, SystemError(errno), false};
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 ||
        ::renameat(folder, temporary.c_str(), folder, name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        return {false, SystemError(error), false};
    }
    // The rename lives only in memory until the folder itself is on disk: a power cut before
    // that brings back the old file.
    if (::fsync(folder) != 0) return {false, SystemError(errno), true};
    return {true, {}, true};
}

Folder::Created Folder::CreateNew(const QByteArray& name, const QByteArray& bytes,
                                  FileIdentity* identity, FileError* why) const {
    const Fd file(::openat(handle->fd.get(), name.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file.get() < 0) {
        if (errno == EEXIST) return Created::Exists;
        *why = SystemError(errno);
        return Created::Refused;
    }
    struct stat info;
    if (!WriteAll(file.get(), bytes) || ::fstat(file.get(), &info) != 0) {
        *why = SystemError(errno);
        ::unlinkat(handle->fd.get(), name.constData(), 0);
        return Created::Refused;
    }
    *identity = IdentityFrom(info);
    return Created::Yes;
}

Entry Folder::Look(const QByteArray& name) const {
    struct stat info;
    if (::fstatat(handle->fd.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {Entry::Kind::None, false, errno};
    const Entry::Kind kind = S_ISREG(info.st_mode)   ? Entry::Kind::Regular
                             : S_ISDIR(info.st_mode) ? Entry::Kind::Folder
                             : S_ISLNK(info.st_mode) ? Entry::Kind::Link
                                                     : Entry::Kind::Other;
    return {kind, info.st_uid == ::geteuid(), 0};
}

FileIdentity Folder::IdentityOf(const QByteArray& name) const {
    struct stat info;
    if (::fstatat(handle->fd.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode))
        return {};
    return IdentityFrom(info);
}

bool Folder::Remove(const QByteArray& name) const {
    return ::unlinkat(handle->fd.get(), name.constData(), 0) == 0;
}

QList<QByteArray> Folder::Names() const {
    QList<QByteArray> names;
    const int fd = ::openat(handle->fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir))
        names.append(QByteArray(entry->d_name));
    ::closedir(dir);
    return names;
}

std::optional<QByteArray> ProgramFolder() {
    // The link holds the path as bytes; a name that is not valid text stays as it is.
    const QByteArray program = ReadLink("/proc/self/exe");
    const qsizetype slash = program.lastIndexOf('/');
    if (!program.startsWith('/') || slash < 0) return std::nullopt;
    return slash == 0 ? QByteArray("/") : program.left(slash);
}

qint64 ProcessId() {
    return qint64(::getpid());
}

QByteArray ProcessName() {
    return ReadLink("/proc/self/exe").split('/').last();
}

bool ProcessRuns(qint64 pid, const QByteArray& name) {
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM)) return false;
    // A pid taken over by another program since: its name tells, where it can be read.
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return true;
    return name.startsWith(comm.readAll().trimmed());
}
