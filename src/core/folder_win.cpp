#include "core/folder.h"

#include "core/temporaries.h"

#include <QDir>

#include <string>
#include <vector>
#include <windows.h>

#include <sddl.h>

// Windows has no descriptor-relative calls: names are reached by path within the folder, which
// is held open without delete sharing, so that it can be neither moved nor removed while the
// program runs. Paths take the long form (\\?\), so no length or character of a name fails.

namespace {

QString Why(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString why = length ? QString::fromWCharArray(text, int(length)).trimmed()
                         : QStringLiteral("Error %1").arg(error);
    ::LocalFree(text);
    // The boxes end the sentence themselves.
    if (why.endsWith(QLatin1Char('.'))) why.chop(1);
    return why;
}

FileError SystemError(DWORD error) {
    return {FileError::Kind::System, Why(error)};
}

class WinFile {
  public:
    explicit WinFile(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
    WinFile(WinFile&& other) noexcept : handle(other.handle) { other.handle = INVALID_HANDLE_VALUE; }
    WinFile& operator=(WinFile&& other) noexcept {
        std::swap(handle, other.handle);
        return *this;
    }
    ~WinFile() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    HANDLE get() const { return handle; }
    bool valid() const { return handle != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle;
};

// The long form of a path, with the system's separators.
std::wstring LongPath(const QString& path) {
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    const QString longForm = native.startsWith(QLatin1String("\\\\"))
                                 ? QStringLiteral("\\\\?\\UNC\\") + native.mid(2)
                                 : QStringLiteral("\\\\?\\") + native;
    return longForm.toStdWString();
}

// The account the program runs as, in the system's spelling ("S-1-5-21-...").
std::wstring UserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    wchar_t* text = nullptr;
    std::wstring sid;
    if (::GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &text)) {
        sid = text;
        ::LocalFree(text);
    }
    ::CloseHandle(token);
    return sid;
}

// Files the program creates are the user's alone: a protected DACL that grants that account
// everything and nobody else anything.
struct OwnerOnly {
    OwnerOnly() {
        const std::wstring sid = UserSid();
        if (sid.empty()) return;
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW((L"D:P(A;;FA;;;" + sid + L")").c_str(),
                                                               SDDL_REVISION_1, &descriptor, nullptr);
        attributes.nLength = sizeof attributes;
        attributes.lpSecurityDescriptor = descriptor;
        attributes.bInheritHandle = FALSE;
    }
    ~OwnerOnly() { ::LocalFree(descriptor); }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;
    SECURITY_ATTRIBUTES* get() { return descriptor ? &attributes : nullptr; }

  private:
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_ATTRIBUTES attributes{};
};

bool SameFile(const BY_HANDLE_FILE_INFORMATION& one, const BY_HANDLE_FILE_INFORMATION& other) {
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

bool WriteAll(HANDLE file, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        DWORD written = 0;
        const DWORD chunk = DWORD(qMin<qsizetype>(bytes.size() - done, 1 << 20));
        if (!::WriteFile(file, bytes.constData() + done, chunk, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

// Also runs as the process exits, when Qt's own helpers may be gone: only plain state here.
unsigned long temporaries = 0;

constexpr DWORD ReplaceFlags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;

} // namespace

struct Folder::Handle {
    WinFile folder;
    QString path; // as opened, for messages
    std::wstring At(const QByteArray& name) const {
        return LongPath(path + QLatin1Char('/') + QString::fromUtf8(name));
    }
};

Folder::Folder(std::shared_ptr<const Handle> handle) : handle(std::move(handle)) {}

std::optional<Folder> Folder::Open(const QByteArray& path, FileError* why) {
    const QString shown = QString::fromUtf8(path);
    // Shared for reading and writing, not for deleting: the folder stays where it is.
    WinFile folder(::CreateFileW(LongPath(shown).c_str(), FILE_LIST_DIRECTORY,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.valid()) {
        *why = SystemError(::GetLastError());
        return std::nullopt;
    }
    return Folder(std::make_shared<const Handle>(Handle{std::move(folder), shown}));
}

QString Folder::Shown() const {
    return handle->path;
}

QString Folder::Shown(const QByteArray& name) const {
    return handle->path + (handle->path.endsWith(QLatin1Char('/')) ? "" : "/") +
           QString::fromUtf8(name);
}

bool Folder::SameAs(const Folder& other) const {
    BY_HANDLE_FILE_INFORMATION one, two;
    return ::GetFileInformationByHandle(handle->folder.get(), &one) &&
           ::GetFileInformationByHandle(other.handle->folder.get(), &two) && SameFile(one, two);
}

// Held without delete sharing, the folder can be neither deleted nor moved.
std::optional<Folder> Folder::Current(FileError*) const {
    return *this;
}

// A link or junction at the name is followed to the file it leads to, whoever made it:
// Windows lets only privileged accounts and developers make links.
Folder::Place Folder::Resolve(const QByteArray& name) const {
    const std::wstring at = handle->At(name);
    const DWORD attributes = ::GetFileAttributesW(at.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {*this, name, {}};
    const WinFile target(::CreateFileW(at.c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {std::nullopt, name, {FileError::Kind::DanglingLink, {}}};
        return {std::nullopt, name, SystemError(error)};
    }
    std::wstring final(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(target.get(), final.data(), DWORD(final.size()),
                                                     FILE_NAME_NORMALIZED);
    if (length == 0 || length >= final.size()) return {std::nullopt, name, SystemError(::GetLastError())};
    QString path = QDir::fromNativeSeparators(QString::fromWCharArray(final.data(), int(length)));
    if (path.startsWith(QLatin1String("//?/UNC/")))
        path = QLatin1String("//") + path.mid(8);
    else if (path.startsWith(QLatin1String("//?/")))
        path = path.mid(4);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    FileError why;
    std::optional<Folder> folder = Open(path.left(slash).toUtf8(), &why);
    if (!folder) return {std::nullopt, name, why};
    return {std::move(folder), path.mid(slash + 1).toUtf8(), {}};
}

FileRead Folder::Read(const QByteArray& name, qsizetype maxBytes) const {
    const auto unreadable = [](FileError error) {
        return FileRead{FileRead::Status::Unreadable, {}, std::move(error)};
    };
    // The name itself, never what a link there leads to; a folder opens too, to be told.
    const WinFile file(::CreateFileW(handle->At(name).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                      nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {};
        return unreadable(SystemError(error));
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.get(), &info)) return unreadable(SystemError(::GetLastError()));
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return unreadable({FileError::Kind::Folder, {}});
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || ::GetFileType(file.get()) != FILE_TYPE_DISK)
        return unreadable({FileError::Kind::NotRegular, {}});

    QByteArray bytes(maxBytes + 1, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), bytes.data() + got, DWORD(bytes.size() - got), &n, nullptr))
            return unreadable(SystemError(::GetLastError()));
        if (n == 0) break;
        got += n;
    }
    bytes.truncate(got);
    return {FileRead::Status::Loaded, bytes, {}, quint64(info.nNumberOfLinks)};
}

FileWrite Folder::Replace(const QByteArray& name, const QByteArray& bytes,
                          const Replacing& replacing) const {
    const auto failed = [](DWORD error) { return FileWrite{FileWrite::Status::Failed, SystemError(error)}; };
    const std::wstring at = handle->At(name);
    // A new file beside the old one, which takes the old one's name only once it is whole and
    // flushed to the disk.
    OwnerOnly ownerOnly;
    QByteArray temp;
    WinFile file;
    for (int attempt = 0; !file.valid() && attempt < 100; ++attempt) {
        temp = TemporaryName(name, qint64(::GetCurrentProcessId()), ++temporaries);
        file = WinFile(::CreateFileW(handle->At(temp).c_str(), GENERIC_WRITE, 0, ownerOnly.get(),
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid() && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file.valid()) return failed(::GetLastError());
    const std::wstring temporary = handle->At(temp);
    const auto abandon = [&temporary](FileWrite result) {
        ::DeleteFileW(temporary.c_str());
        return result;
    };
    if (!WriteAll(file.get(), bytes) || !::FlushFileBuffers(file.get()))
        return abandon(failed(::GetLastError()));
    file = WinFile();

    // Another writer may hold the file, or be between the two renames of a replace of its
    // own, for a moment: such a refusal is tried again, and the name looked at anew.
    const auto passing = [](DWORD error) {
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_SHARING_VIOLATION ||
               error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
               error == ERROR_ALREADY_EXISTS || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
               error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    };
    const QByteArray asideName = TemporaryName(name, qint64(::GetCurrentProcessId()), ++temporaries);
    const std::wstring aside = handle->At(asideName);
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0) ::Sleep(10);
        const bool last = attempt == 50;
        const DWORD before = ::GetFileAttributesW(at.c_str());
        if (before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_DIRECTORY))
            return abandon({replacing.anything ? FileWrite::Status::Failed : FileWrite::Status::Unchecked,
                            {FileError::Kind::Folder, {}}});
        bool done;
        if (before == INVALID_FILE_ATTRIBUTES) {
            // Nothing at the name: it takes the new file unless one came meanwhile.
            done = ::MoveFileExW(temporary.c_str(), at.c_str(), MOVEFILE_WRITE_THROUGH);
        } else if (replacing.anything) {
            // ReplaceFileW keeps the old file's attributes and permissions on the new one.
            done = ::ReplaceFileW(at.c_str(), temporary.c_str(), nullptr, ReplaceFlags, nullptr,
                                  nullptr);
        } else {
            // The old file goes aside as the new one takes its name, in one call; what went
            // aside is then judged, and put back if it was not the file as known.
            done = ::ReplaceFileW(at.c_str(), temporary.c_str(), aside.c_str(), ReplaceFlags,
                                  nullptr, nullptr);
            if (done) {
                const FileWrite judged = FileWrite::Judge(
                    Read(asideName, replacing.was ? replacing.was->size() : 0), replacing);
                if (judged.status == FileWrite::Status::Written) {
                    ::DeleteFileW(aside.c_str());
                } else {
                    ::ReplaceFileW(at.c_str(), aside.c_str(), nullptr, ReplaceFlags, nullptr, nullptr);
                }
                return judged;
            }
            // The old file went aside, the new one could not follow: the old one goes back.
            const DWORD error = ::GetLastError();
            if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
                ::MoveFileExW(aside.c_str(), at.c_str(), MOVEFILE_WRITE_THROUGH);
            ::SetLastError(error);
        }
        if (done) return {};
        const DWORD error = ::GetLastError();
        if (last || !passing(error)) return abandon(failed(error));
    }
}

struct HeldLock::State {
    WinFile file;
};

// Opened with no sharing at all: while this process lives, any other open of the file fails
// with a sharing violation, and Windows closes it the moment the process ends, however.
LockTry Folder::Lock(const QByteArray& name) const {
    constexpr DWORD MaxLockLength = 4096;
    const std::wstring at = handle->At(name);
    const DWORD attributes = ::GetFileAttributesW(at.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return {.status = LockTry::Status::NotAFile};
    OwnerOnly ownerOnly;
    WinFile file(::CreateFileW(at.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                ownerOnly.get(), OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            return {.status = LockTry::Status::Busy};
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES)
            return {.status = LockTry::Status::OtherAccount};
        return {.status = LockTry::Status::NotCreated, .error = SystemError(error)};
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) return {.status = LockTry::Status::NotAFile};
    QByteArray content(MaxLockLength, '\0');
    DWORD got = 0;
    if (!::ReadFile(file.get(), content.data(), MaxLockLength, &got, nullptr)) got = 0;
    content.truncate(got);
    return {.status = LockTry::Status::Held,
            .content = content,
            .lock = std::make_unique<HeldLock>(std::make_unique<HeldLock::State>(
                HeldLock::State{std::move(file)}))};
}

HeldLock::HeldLock(std::unique_ptr<State> state) : state(std::move(state)) {}

HeldLock::~HeldLock() = default;

bool HeldLock::Kernel() const {
    return true;
}

bool HeldLock::Write(const QByteArray& content) const {
    const HANDLE file = state->file.get();
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) &&
           WriteAll(file, content);
}

// The handle opened it with no sharing, so the file it deletes is certainly this run's own.
void HeldLock::Release() {
    if (!state->file.valid()) return;
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(state->file.get(), FileDispositionInfo, &dispose, sizeof dispose);
    state->file = WinFile();
}

// Windows keeps no owner the program could check cheaply; what is the user's is taken to be
// what the user can open.
Entry Folder::Look(const QByteArray& name) const {
    const DWORD attributes = ::GetFileAttributesW(handle->At(name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    const Entry::Kind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? Entry::Kind::Link
                             : (attributes & FILE_ATTRIBUTE_DIRECTORY)   ? Entry::Kind::Folder
                                                                         : Entry::Kind::Regular;
    return {kind, true};
}

void Folder::RemoveStaleTemporaries(const QList<QByteArray>& names) const {
    for (const QByteArray& entry : Names())
        for (const QByteArray& name : names)
            if (IsTemporaryOf(entry, name) && Look(entry).kind == Entry::Kind::Regular)
                ::DeleteFileW(handle->At(entry).c_str());
}

QList<QByteArray> Folder::Names() const {
    QList<QByteArray> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(handle->At("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        names.append(QString::fromWCharArray(found.cFileName).toUtf8());
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}
