#include "core/file_access.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Why(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
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

// A name within an open folder: every later step works on the folder's descriptor, so
// nothing that changes at the path afterwards can send a read or a write elsewhere.
struct Place {
    Fd folder;
    std::string name;
    FileError error;
    int missing = 0; // ENOENT when the folder is not there, so neither is the file
};

// Where path leads. In a folder others can write, a link they planted would make us read or
// write a file of their choosing, so only the user's own links, and root's, are followed.
Place Resolve(const QString& path) {
    std::string at = QFile::encodeName(path).toStdString();
    for (int hop = 0; hop < 40; ++hop) {
        const auto slash = at.rfind('/');
        const std::string folderPath = slash == std::string::npos ? "." : at.substr(0, slash + 1);
        Place place{Fd(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                    at.substr(slash == std::string::npos ? 0 : slash + 1),
                    {}};
        if (place.folder.get() < 0) return {Fd(), {}, {FileError::Kind::System, Why(errno)}, errno};
        struct stat info;
        if (::fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return place; // a new file
            return {Fd(), {}, {FileError::Kind::System, Why(errno)}, 0};
        }
        if (!S_ISLNK(info.st_mode)) return place;
        if (info.st_uid != ::geteuid() && info.st_uid != 0)
            return {Fd(), {}, {FileError::Kind::ForeignLink, {}}, 0};
        std::string target(size_t(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length =
            ::readlinkat(place.folder.get(), place.name.c_str(), target.data(), target.size());
        if (length < 0) return {Fd(), {}, {FileError::Kind::System, Why(errno)}, 0};
        target.resize(size_t(length));
        at = target.front() == '/' ? target : folderPath + target;
    }
    return {Fd(), {}, {FileError::Kind::System, Why(ELOOP)}, 0};
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

} // namespace

LoadResult ReadRegularFile(const QString& path, qsizetype maxBytes) {
    const auto unreadable = [](FileError error) {
        return LoadResult{LoadResult::Status::Unreadable, {}, std::move(error)};
    };
    const Place place = Resolve(path);
    // Only a file that is really absent means a new ledger.
    if (place.missing == ENOENT) return {LoadResult::Status::Missing, {}, {}};
    if (place.error.kind != FileError::Kind::None) return unreadable(place.error);
    // Non-blocking, so that a pipe at the name cannot hold the program; what it is, is then
    // checked on what was opened, not on the name.
    const Fd file(::openat(place.folder.get(), place.name.c_str(),
                           O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (file.get() < 0) {
        if (errno == ENOENT) return {LoadResult::Status::Missing, {}, {}};
        return unreadable({FileError::Kind::System, Why(errno)});
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0) return unreadable({FileError::Kind::System, Why(errno)});
    if (S_ISDIR(info.st_mode)) return unreadable({FileError::Kind::Folder, {}});
    if (!S_ISREG(info.st_mode)) return unreadable({FileError::Kind::NotRegular, {}});

    QByteArray bytes(maxBytes + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return unreadable({FileError::Kind::System, Why(errno)});
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(got);
    return {LoadResult::Status::Loaded, bytes, {}};
}

SaveResult ReplaceFile(const QString& path, const QByteArray& bytes) {
    const Place place = Resolve(path);
    if (place.error.kind != FileError::Kind::None) return {false, place.error};
    const int folder = place.folder.get();
    // A new file beside the old one, which takes the old one's name only once it is whole; the
    // rename replaces whatever stands at the name, a link included, and follows nothing.
    std::string temporary;
    Fd file;
    for (int attempt = 0; file.get() < 0 && attempt < 100; ++attempt) {
        temporary = "." + place.name + "." + std::to_string(::getpid()) + "." +
                    std::to_string(++temporaries);
        file = Fd(::openat(folder, temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (file.get() < 0 && errno != EEXIST) break;
    }
    if (file.get() < 0) return {false, {FileError::Kind::System, Why(errno)}};
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 ||
        ::renameat(folder, temporary.c_str(), folder, place.name.c_str()) != 0) {
        const int error = errno;
        ::unlinkat(folder, temporary.c_str(), 0);
        return {false, {FileError::Kind::System, Why(error)}};
    }
    return {true, {}};
}
