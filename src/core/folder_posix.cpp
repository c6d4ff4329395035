#include "core/file_calls.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace {

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

bool SameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// The result of a call that sets errno.
SysCode Code(bool failed) {
    return failed ? SysCode(errno ? errno : EIO) : 0;
}

} // namespace

Means Meaning(SysCode code) {
    switch (code) {
    case 0:
        return Means::Done;
    case EEXIST:
    case ENOTEMPTY:
        return Means::Exists;
    case ENOENT:
        return Means::Missing;
    case EINVAL:
    case ENOSYS:
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return Means::Unsupported;
    case EACCES:
    case EPERM:
        return Means::Denied;
    case EROFS:
        return Means::NoWrites;
    case EAGAIN:
        return Means::Busy;
    default:
        return Means::Other;
    }
}

FileError SystemError(SysCode code) {
    return {FileError::Kind::System, QString::fromLocal8Bit(std::strerror(int(code))), code};
}

struct Folder::Handle {
    Fd fd;
    QByteArray path;
};

Folder::Folder(std::shared_ptr<const Handle> handle) : handle(std::move(handle)) {}

OrWhy<std::optional<Folder>> Folder::Open(const QByteArray& path) {
    Fd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) return {std::nullopt, SystemError(errno)};
    return {Folder(std::make_shared<const Handle>(Handle{std::move(fd), path}))};
}

QString Folder::Shown() const {
    return QFile::decodeName(handle->path);
}

QString Folder::Shown(const QByteArray& name) const {
    return QFile::decodeName(handle->path + (handle->path.endsWith('/') ? "" : "/") + name);
}

bool Folder::SameAs(const Folder& other) const {
    struct stat one, two;
    return ::fstat(handle->fd.get(), &one) == 0 && ::fstat(other.handle->fd.get(), &two) == 0 &&
           SameFile(one, two);
}

OrWhy<std::optional<Folder>> Folder::Current() const {
    struct stat held, atPath;
    if (::fstat(handle->fd.get(), &held) != 0) return {std::nullopt, SystemError(errno)};
    const bool there = ::stat(handle->path.constData(), &atPath) == 0 && S_ISDIR(atPath.st_mode);
    // Deleted and made again, or put aside for a new one (as copies across file systems and
    // sync tools do): the folder at the path is the program's now.
    if (there && !SameFile(held, atPath)) return Open(handle->path);
    if (held.st_nlink == 0 && !there) return {std::nullopt, {FileError::Kind::FolderGone, {}}};
    return {*this};
}

Folder::Place Folder::Resolve(const QByteArray& start) const {
    Place place{*this, start, {}};
    const auto failed = [&start](FileError error) { return Place{std::nullopt, start, error}; };
    for (int hop = 0; hop < 40; ++hop) {
        const int fd = place.folder->handle->fd.get();
        struct stat info;
        if (::fstatat(fd, place.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) return failed(SystemError(errno));
            // Only a name where nothing stands is a new file; a link's missing target may be
            // a drive not yet there, never read as an empty ledger. A save may still write it
            // into a folder that is there (one deleted and made again).
            if (hop > 0) place.error = {FileError::Kind::DanglingLink, {}};
            return place;
        }
        if (!S_ISLNK(info.st_mode)) return place;
        if (info.st_uid != ::geteuid() && info.st_uid != 0)
            return failed({FileError::Kind::ForeignLink, {}});
        QByteArray target(qsizetype(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length =
            ::readlinkat(fd, place.name.constData(), target.data(), size_t(target.size()));
        if (length < 0) return failed(SystemError(errno));
        target.truncate(length);
        const qsizetype slash = target.lastIndexOf('/');
        if (slash < 0) {
            place.name = target;
            continue;
        }
        const QByteArray folderPath = slash == 0 ? QByteArray("/") : target.left(slash);
        Fd next(::openat(fd, folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (next.get() < 0) {
            if (errno == ENOENT) return failed({FileError::Kind::DanglingLink, {}});
            return failed(SystemError(errno));
        }
        const QByteArray shown =
            target.startsWith('/') ? folderPath : place.folder->handle->path + "/" + folderPath;
        place.folder = Folder(std::make_shared<const Handle>(Handle{std::move(next), shown}));
        place.name = target.mid(slash + 1);
    }
    return failed(SystemError(ELOOP));
}

// The system's calls, one per step of the protocol; nothing here decides.
class SystemFileCalls final : public FileCalls {
  public:
    static int At(const Folder& folder) { return folder.handle->fd.get(); }

    SysCode Create(const Folder& at, const QByteArray& name, Handle* file) override {
        const int fd = ::openat(At(at), name.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        *file = fd;
        return Code(fd < 0);
    }

    // Group first: a change of group clears the set-id bits the mode then gives back.
    SysCode CopyAttributes(const Folder& at, const QByteArray& from, Handle file) override {
        const Fd old(::openat(At(at), from.constData(),
                              O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
        struct stat info;
        if (old.get() < 0 || ::fstat(old.get(), &info) != 0) return Code(true);
        if (!S_ISREG(info.st_mode)) return 0;
        const int to = int(file);
        ::fchown(to, uid_t(-1), info.st_gid); // where the user may
        ::fchmod(to, info.st_mode & 07777);
        const QByteArray names =
            Attribute([&](char* into, size_t size) { return ::flistxattr(old.get(), into, size); });
        for (const QByteArray& name : names.split('\0')) {
            if (name.isEmpty()) continue;
            const QByteArray value = Attribute([&](char* into, size_t size) {
                return ::fgetxattr(old.get(), name.constData(), into, size);
            });
            ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0);
        }
        return 0;
    }

    SysCode Write(Handle file, const QByteArray& bytes) override {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n =
                ::write(int(file), bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Code(true);
            done += n;
        }
        return 0;
    }

    // The data and its length; the folder's sync commits the rest of the new file.
    SysCode Sync(Handle file) override { return Code(::fdatasync(int(file)) != 0); }

    void Close(Handle file) override { ::close(int(file)); }

    SysCode Rename(const Folder& at, const QByteArray& from, const QByteArray& to,
                   bool replace) override {
        const int folder = At(at);
        if (replace) return Code(::renameat(folder, from.constData(), folder, to.constData()) != 0);
        if (::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        if (Meaning(errno) != Means::Unsupported) return Code(true);
        // A file system without the flag: a second name only where none is, then the first goes.
        if (::linkat(folder, from.constData(), folder, to.constData(), 0) != 0) return Code(true);
        ::unlinkat(folder, from.constData(), 0);
        return 0;
    }

    SysCode Exchange(const Folder& at, const QByteArray& one, const QByteArray& other) override {
        return Code(
            ::renameat2(At(at), one.constData(), At(at), other.constData(), RENAME_EXCHANGE) != 0);
    }

    SysCode Remove(const Folder& at, const QByteArray& name) override {
        return Code(::unlinkat(At(at), name.constData(), 0) != 0);
    }

    SysCode SyncFolder(const Folder& at) override { return Code(::fsync(At(at)) != 0); }

    FileRead Read(const Folder& at, const QByteArray& name, qsizetype maxBytes) override {
        const auto unreadable = [](FileError error) {
            return FileRead{FileRead::Status::Unreadable, {}, std::move(error)};
        };
        // Non-blocking, so that a pipe at the name cannot hold the program; what it is, is
        // then checked on what was opened, not on the name.
        const Fd file(::openat(At(at), name.constData(),
                               O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
        if (file.get() < 0) {
            if (errno == ENOENT) return {};
            // A link, or a socket, which cannot be opened as a file at all.
            if (errno == ELOOP || errno == ENXIO)
                return unreadable({FileError::Kind::NotRegular, {}});
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
        return {FileRead::Status::Loaded, bytes, {}, quint64(info.st_nlink)};
    }

    Entry Look(const Folder& at, const QByteArray& name) override {
        struct stat info;
        if (::fstatat(At(at), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) return {};
        const Entry::Kind kind = S_ISREG(info.st_mode)   ? Entry::Kind::Regular
                                 : S_ISDIR(info.st_mode) ? Entry::Kind::Folder
                                 : S_ISLNK(info.st_mode) ? Entry::Kind::Link
                                                         : Entry::Kind::Other;
        return {kind, info.st_uid == ::geteuid(), !(info.st_mode & S_IWUSR),
                quint64(info.st_nlink)};
    }

    QList<QByteArray> Names(const Folder& at) override {
        QList<QByteArray> names;
        const int fd = ::openat(At(at), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

    SysCode OpenLock(const Folder& at, const QByteArray& name, Handle* file) override {
        const int fd = ::openat(At(at), name.constData(),
                                O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        *file = fd;
        if (fd < 0) return Code(true);
        struct stat info;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) return 0;
        ::close(fd);
        return ENXIO;
    }

    // Whoever holds a lock on a file, opening it takes none.
    SysCode OpenShared(const Folder&, const QByteArray&) override { return 0; }

    SysCode HoldLock(Handle file) override {
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(int(file), F_OFD_SETLK, &whole) == 0) return 0;
        return errno == EACCES ? EAGAIN : Code(true);
    }

    SysCode ReadAll(Handle file, qsizetype maxBytes, QByteArray* bytes) override {
        bytes->resize(maxBytes);
        const ssize_t got = ::pread(int(file), bytes->data(), size_t(maxBytes), 0);
        bytes->truncate(got > 0 ? got : 0);
        return Code(got < 0);
    }

    SysCode Rewrite(Handle file, const QByteArray& bytes) override {
        if (::ftruncate(int(file), 0) != 0) return Code(true);
        return Code(::pwrite(int(file), bytes.constData(), size_t(bytes.size()), 0) !=
                    bytes.size());
    }

    SysCode Leads(const Folder& at, const QByteArray& name, Handle file) override {
        struct stat held, named;
        if (::fstat(int(file), &held) != 0 ||
            ::fstatat(At(at), name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0)
            return Code(true);
        return SameFile(held, named) ? 0 : ENOENT;
    }

    SysCode MakeWritable(const Folder& at, const QByteArray& name) override {
        struct stat info;
        if (::fstatat(At(at), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) return Code(true);
        return Code(::fchmodat(At(at), name.constData(), (info.st_mode & 07777) | S_IRUSR | S_IWUSR,
                               0) != 0);
    }

    // Held open until here, so its inode cannot have gone to another copy's lock meanwhile.
    void RemoveHeld(const Folder& at, const QByteArray& name, Handle file) override {
        if (Leads(at, name, file) == 0) ::unlinkat(At(at), name.constData(), 0);
        ::close(int(file));
    }

  private:
    // An attribute list or value whatever its size, which may grow between the two calls.
    template <typename Get> static QByteArray Attribute(Get get) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            const ssize_t size = get(nullptr, 0);
            if (size <= 0) return {};
            QByteArray value(size, '\0');
            const ssize_t got = get(value.data(), size_t(size));
            if (got >= 0) return value.left(got);
            if (errno != ERANGE) return {};
        }
        return {};
    }
};

FileCalls& SystemCalls() {
    static SystemFileCalls calls;
    return calls;
}
