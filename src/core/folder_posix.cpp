#include "core/folder.h"

#include "core/temporaries.h"

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

bool SameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
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

// The system's answer for a call the file system does not offer at all.
bool Unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// The user may have widened the file's permissions, given it an ACL or extended attributes:
// the file that takes its place keeps them. What the file system refuses to copy is left.
void CopyAttributes(int from, int to) {
    struct stat info;
    if (::fstat(from, &info) == 0) ::fchmod(to, info.st_mode & 07777);
    QByteArray names(4096, '\0');
    const ssize_t length = ::flistxattr(from, names.data(), size_t(names.size()));
    for (qsizetype at = 0; length > 0 && at < length; at += qsizetype(std::strlen(names.constData() + at)) + 1) {
        const char* name = names.constData() + at;
        QByteArray value(65536, '\0');
        const ssize_t size = ::fgetxattr(from, name, value.data(), size_t(value.size()));
        if (size >= 0) ::fsetxattr(to, name, value.constData(), size_t(size), 0);
    }
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

bool Folder::SameAs(const Folder& other) const {
    struct stat one, two;
    return ::fstat(handle->fd.get(), &one) == 0 && ::fstat(other.handle->fd.get(), &two) == 0 &&
           SameFile(one, two);
}

std::optional<Folder> Folder::Current(FileError* why) const {
    struct stat held, atPath;
    if (::fstat(handle->fd.get(), &held) != 0) {
        *why = SystemError(errno);
        return std::nullopt;
    }
    const bool there = ::stat(handle->path.constData(), &atPath) == 0 && S_ISDIR(atPath.st_mode);
    // Deleted and made again, or put aside for a new one (as copies across file systems and
    // sync tools do): the folder at the path is the program's now.
    if (there && !SameFile(held, atPath)) return Open(handle->path, why);
    if (held.st_nlink == 0 && !there) {
        *why = {FileError::Kind::FolderGone, {}};
        return std::nullopt;
    }
    return *this;
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
            // a drive not yet there, whose file a save would then replace.
            if (hop == 0) return place;
            return failed({FileError::Kind::DanglingLink, {}});
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
        const QByteArray shown = target.startsWith('/')
                                     ? folderPath
                                     : place.folder->handle->path + "/" + folderPath;
        place.folder = Folder(std::make_shared<const Handle>(Handle{std::move(next), shown}));
        place.name = target.mid(slash + 1);
    }
    return failed(SystemError(ELOOP));
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
    return {FileRead::Status::Loaded, bytes, {}, quint64(info.st_nlink)};
}

FileWrite Folder::Replace(const QByteArray& name, const QByteArray& bytes,
                          const Replacing& replacing) const {
    const int folder = handle->fd.get();
    const auto failed = [](int error) { return FileWrite{FileWrite::Status::Failed, SystemError(error)}; };
    // A new file beside the old one, which takes the old one's name only once it is whole.
    QByteArray temp;
    Fd file;
    for (int attempt = 0; file.get() < 0 && attempt < 100; ++attempt) {
        temp = TemporaryName(name, ::getpid(), ++temporaries);
        file = Fd(::openat(folder, temp.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0 && errno != EEXIST) break;
    }
    if (file.get() < 0) return failed(errno);
    const char* const temporary = temp.constData();
    const auto abandon = [&](FileWrite result) {
        ::unlinkat(folder, temporary, 0);
        return result;
    };
    {
        const Fd old(::openat(folder, name.constData(),
                              O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
        struct stat info;
        if (old.get() >= 0 && ::fstat(old.get(), &info) == 0 && S_ISREG(info.st_mode))
            CopyAttributes(old.get(), file.get());
    }
    // The data and its length; the folder's sync below commits the rest of the new file.
    if (!WriteAll(file.get(), bytes) || ::fdatasync(file.get()) != 0) return abandon(failed(errno));

    if (replacing.anything) {
        // The rename replaces whatever stands at the name, a link included, and follows nothing.
        if (::renameat(folder, temporary, folder, name.constData()) != 0)
            return abandon(failed(errno));
    } else {
        const qsizetype known = replacing.was ? replacing.was->size() : 0;
        for (int attempt = 0;; ++attempt) {
            // The two files swap names at once: what is then under the temporary name is what
            // stood at the name, judged with no moment in which another writer could slip in.
            if (::renameat2(folder, temporary, folder, name.constData(), RENAME_EXCHANGE) == 0) {
                const FileWrite judged = FileWrite::Judge(Read(temp, known), replacing);
                if (judged.status == FileWrite::Status::Written) {
                    ::unlinkat(folder, temporary, 0);
                    break;
                }
                ::renameat2(folder, temporary, folder, name.constData(), RENAME_EXCHANGE);
                return abandon(judged);
            }
            if (errno == ENOENT && attempt < 3) {
                // Nothing stands at the name: it takes the new file unless one came meanwhile.
                if (::renameat2(folder, temporary, folder, name.constData(), RENAME_NOREPLACE) == 0) break;
                if (errno == EEXIST) continue;
            }
            if (!Unsupported(errno)) return abandon(failed(errno));
            // A file system that cannot swap names: checked right before the rename.
            const FileWrite judged = FileWrite::Judge(Read(name, known), replacing);
            if (judged.status != FileWrite::Status::Written) return abandon(judged);
            if (::renameat(folder, temporary, folder, name.constData()) != 0)
                return abandon(failed(errno));
            break;
        }
    }
    // The rename lives only in memory until the folder itself is on disk: a power cut before
    // that brings back the old file. Some file systems (network shares) sync no folder at all,
    // and keep the rename as durably as they can.
    if (::fsync(folder) != 0 && !Unsupported(errno))
        return {FileWrite::Status::NotDurable, SystemError(errno)};
    return {FileWrite::Status::Written, {}};
}

struct HeldLock::State {
    Fd fd;
    Folder folder;
    QByteArray name;
    bool kernel;
};

LockTry Folder::Lock(const QByteArray& name) const {
    constexpr qsizetype MaxLockLength = 4096; // a few short lines; more is not one of ours
    const int folder = handle->fd.get();
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Never opened unless it is a regular file: a pipe there would block, a device never end.
        const Entry entry = Look(name);
        if (entry.kind != Entry::Kind::None && entry.kind != Entry::Kind::Regular)
            return {.status = LockTry::Status::NotAFile};
        if (entry.kind == Entry::Kind::Regular && !entry.usersOwn)
            return {.status = LockTry::Status::OtherAccount};
        Fd file(::openat(folder, name.constData(),
                         O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
        if (file.get() < 0) {
            if (errno == ELOOP || errno == ENXIO || errno == EISDIR)
                return {.status = LockTry::Status::NotAFile};
            if (errno == EACCES && entry.kind == Entry::Kind::Regular)
                return {.status = LockTry::Status::OtherAccount};
            return {.status = LockTry::Status::NotCreated, .error = SystemError(errno)};
        }
        struct stat opened, named;
        if (::fstat(file.get(), &opened) != 0)
            return {.status = LockTry::Status::NotCreated, .error = SystemError(errno)};
        if (!S_ISREG(opened.st_mode)) return {.status = LockTry::Status::NotAFile};
        if (opened.st_uid != ::geteuid()) return {.status = LockTry::Status::OtherAccount};
        QByteArray content(MaxLockLength, '\0');
        const ssize_t got = ::pread(file.get(), content.data(), size_t(content.size()), 0);
        content.truncate(got > 0 ? got : 0);

        // An open file description's lock: the kernel's answer to whether a holder lives, in
        // any pid namespace, and freed the moment the holder ends.
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        bool kernel = true;
        if (::fcntl(file.get(), F_OFD_SETLK, &whole) != 0) {
            if (errno == EAGAIN || errno == EACCES)
                return {.status = LockTry::Status::Busy, .content = content};
            kernel = false;
        }
        // The holder before may have removed the name between the open and the lock.
        if (::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !SameFile(opened, named))
            continue;
        return {.status = LockTry::Status::Held,
                .content = content,
                .lock = std::make_unique<HeldLock>(std::make_unique<HeldLock::State>(
                    HeldLock::State{std::move(file), *this, name, kernel}))};
    }
    return {.status = LockTry::Status::NotCreated, .error = SystemError(EAGAIN)};
}

HeldLock::HeldLock(std::unique_ptr<State> state) : state(std::move(state)) {}

HeldLock::~HeldLock() = default;

bool HeldLock::Kernel() const {
    return state->kernel;
}

bool HeldLock::Write(const QByteArray& content) const {
    const int fd = state->fd.get();
    return ::ftruncate(fd, 0) == 0 &&
           ::pwrite(fd, content.constData(), size_t(content.size()), 0) == content.size();
}

void HeldLock::Release() {
    if (state->fd.get() < 0) return;
    // Held open until here, so its inode cannot have gone to another copy's lock meanwhile.
    struct stat held, named;
    const int folder = state->folder.handle->fd.get();
    if (::fstat(state->fd.get(), &held) == 0 &&
        ::fstatat(folder, state->name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(held, named))
        ::unlinkat(folder, state->name.constData(), 0);
    state->fd = Fd();
}

Entry Folder::Look(const QByteArray& name) const {
    struct stat info;
    if (::fstatat(handle->fd.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) return {};
    const Entry::Kind kind = S_ISREG(info.st_mode)   ? Entry::Kind::Regular
                             : S_ISDIR(info.st_mode) ? Entry::Kind::Folder
                             : S_ISLNK(info.st_mode) ? Entry::Kind::Link
                                                     : Entry::Kind::Other;
    return {kind, info.st_uid == ::geteuid()};
}

void Folder::RemoveStaleTemporaries(const QList<QByteArray>& names) const {
    for (const QByteArray& entry : Names()) {
        for (const QByteArray& name : names) {
            if (!IsTemporaryOf(entry, name)) continue;
            const Entry what = Look(entry);
            if (what.kind == Entry::Kind::Regular && what.usersOwn)
                ::unlinkat(handle->fd.get(), entry.constData(), 0);
        }
    }
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
