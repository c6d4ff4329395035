#include "core/file_calls.h"

#include "core/file_protocol.h"
#include "core/process.h"

#include <QDir>

#include <string>
#include <vector>
#include <windows.h>

#include <sddl.h>

// Windows has no descriptor-relative calls: names are reached by path within the folder, which
// is held open without delete sharing, so that it can be neither moved nor removed while the
// program runs. Paths take the long form (\\?\), so no length or character of a name fails.

namespace {

// The system's own words for an error, empty where it has none.
QString SystemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString why = length ? QString::fromWCharArray(text, int(length)) : QString();
    ::LocalFree(text);
    return why;
}

class WinFile {
  public:
    explicit WinFile(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
    WinFile(WinFile&& other) noexcept : handle(other.handle) {
        other.handle = INVALID_HANDLE_VALUE;
    }
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

// The long form of a path, with the system's separators; a drive's root keeps its backslash
// (\\?\E: alone is the volume, not its root folder).
std::wstring LongPath(const QString& path) {
    QString native = QDir::toNativeSeparators(QDir::cleanPath(path));
    if (native.startsWith(QLatin1String("\\\\?\\"))) return native.toStdWString();
    if (native.size() == 2 && native.endsWith(QLatin1Char(':'))) native += QLatin1Char('\\');
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
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            (L"D:P(A;;FA;;;" + sid + L")").c_str(), SDDL_REVISION_1, &descriptor, nullptr);
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

// The name's entry in its folder, read without opening the file: a file still being deleted,
// which no call can open, is seen there too.
bool Find(const std::wstring& at, WIN32_FIND_DATAW* found) {
    const HANDLE search = ::FindFirstFileW(at.c_str(), found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return true;
}

// Only links and junctions are followed or refused as links; other reparse points (cloud
// placeholders, deduplicated or compressed files) are the files they stand for.
bool IsLink(const WIN32_FIND_DATAW& found) {
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
            found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
}

bool IsLink(const std::wstring& at) {
    WIN32_FIND_DATAW found;
    return Find(at, &found) && IsLink(found);
}

SysCode LastError() {
    const DWORD error = ::GetLastError();
    return error ? SysCode(error) : SysCode(ERROR_GEN_FAILURE);
}

constexpr DWORD ReplaceFlags = REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS;

} // namespace

Means Meaning(SysCode code) {
    switch (code) {
    case 0:
        return Means::Done;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Means::Exists;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Means::Missing;
    // ReplaceFileW's two answers that leave both names as they were.
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Means::Busy;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_PARAMETER:
        return Means::Unsupported;
    case ERROR_ACCESS_DENIED:
        return Means::Denied;
    case ERROR_WRITE_PROTECT:
        return Means::NoWrites;
    default:
        return Means::Other;
    }
}

FileError SystemError(SysCode code) {
    return {FileError::Kind::System, SystemText(DWORD(code)), code};
}

struct Folder::Handle {
    WinFile folder;
    QString path; // as opened, for messages
    std::wstring At(const QByteArray& name) const {
        return LongPath(path + QLatin1Char('/') + QString::fromUtf8(name));
    }
};

Folder::Folder(std::shared_ptr<const Handle> handle) : handle(std::move(handle)) {}

OrWhy<std::optional<Folder>> Folder::Open(const QByteArray& path) {
    const QString shown = ShownPath(path);
    // Shared for reading and writing, not for deleting: the folder stays where it is.
    WinFile folder(::CreateFileW(LongPath(shown).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.valid()) return {std::nullopt, SystemError(::GetLastError())};
    return {Folder(std::make_shared<const Handle>(Handle{std::move(folder), shown}))};
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
OrWhy<std::optional<Folder>> Folder::Current() const {
    return {*this};
}

// A link or junction at the name is followed to the file it leads to, whoever made it:
// Windows lets only privileged accounts and developers make links.
Folder::Place Folder::Resolve(const QByteArray& name) const {
    const std::wstring at = handle->At(name);
    if (!IsLink(at)) return {*this, name, {}};
    const WinFile target(
        ::CreateFileW(at.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!target.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {std::nullopt, name, {FileError::Kind::DanglingLink, {}}};
        return {std::nullopt, name, SystemError(error)};
    }
    std::wstring final(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(target.get(), final.data(),
                                                     DWORD(final.size()), FILE_NAME_NORMALIZED);
    if (length == 0 || length >= final.size())
        return {std::nullopt, name, SystemError(::GetLastError())};
    const QString path =
        QDir::fromNativeSeparators(QString::fromWCharArray(final.data(), int(length)));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    auto [folder, why] = Open(path.left(slash).toUtf8());
    if (!folder) return {std::nullopt, name, why};
    return {std::move(folder), path.mid(slash + 1).toUtf8(), {}};
}

// The system's calls, one per step of the protocol; nothing here decides.
class SystemFileCalls final : public FileCalls {
  public:
    static std::wstring At(const Folder& folder, const QByteArray& name) {
        return folder.handle->At(name);
    }
    static HANDLE Of(Handle file) { return reinterpret_cast<HANDLE>(file); }

    SysCode Create(const Folder& at, const QByteArray& name, Handle* file) override {
        OwnerOnly ownerOnly;
        const HANDLE made = ::CreateFileW(At(at, name).c_str(), GENERIC_WRITE, 0, ownerOnly.get(),
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        *file = made == INVALID_HANDLE_VALUE ? NoHandle : reinterpret_cast<Handle>(made);
        return made == INVALID_HANDLE_VALUE ? LastError() : 0;
    }

    // ReplaceFileW gives the new file the old one's attributes and permissions.
    SysCode CopyAttributes(const Folder&, const QByteArray&, Handle) override { return 0; }

    SysCode Write(Handle file, const QByteArray& bytes) override {
        return WriteAll(Of(file), bytes) ? 0 : LastError();
    }

    SysCode Sync(Handle file) override { return ::FlushFileBuffers(Of(file)) ? 0 : LastError(); }

    void Close(Handle file) override { ::CloseHandle(Of(file)); }

    SysCode Rename(const Folder& at, const QByteArray& from, const QByteArray& to,
                   bool replace) override {
        const std::wstring source = At(at, from), target = At(at, to);
        if (!replace || ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
            return Move(source, target, replace);
        const std::wstring backup = At(at, AsideName(to));
        const SysCode code = Replace(source, target, backup);
        if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) return Finish(source, target, backup, true);
        if (!code) ::DeleteFileW(backup.c_str());
        return code;
    }

    // ReplaceFileW, then the old file from its backup name to the one the new file left.
    SysCode Exchange(const Folder& at, const QByteArray& one, const QByteArray& other) override {
        const std::wstring first = At(at, one), second = At(at, other);
        const std::wstring backup = At(at, AsideName(other));
        const SysCode code = Replace(first, second, backup);
        if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            if (const SysCode failed = Finish(first, second, backup, false)) return failed;
        } else if (code) {
            return code;
        }
        // The names have swapped even where this rename fails: the old file then stays at its
        // backup name, an aside one that the next start keeps. A failure told here would be
        // tried again on names that are no longer as they were.
        Move(backup, first, false);
        return 0;
    }

    SysCode Remove(const Folder& at, const QByteArray& name) override {
        return ::DeleteFileW(At(at, name).c_str()) ? 0 : LastError();
    }

    // On NTFS a folder's flush commits the journal that holds its renames. Where the folder
    // cannot be opened for it or flushed (FAT, shares), nothing more can be done.
    SysCode SyncFolder(const Folder& at) override {
        const WinFile folder(
            ::CreateFileW(LongPath(at.Shown()).c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!folder.valid() || !::FlushFileBuffers(folder.get())) {
            const SysCode code = LastError();
            return code == ERROR_ACCESS_DENIED ? SysCode(ERROR_NOT_SUPPORTED) : code;
        }
        return 0;
    }

    FileRead Read(const Folder& at, const QByteArray& name, qsizetype maxBytes) override {
        const auto unreadable = [](FileError error) {
            return FileRead{FileRead::Status::Unreadable, {}, std::move(error)};
        };
        const std::wstring path = At(at, name);
        // The name itself, never what a link there leads to; a folder opens too, to be told.
        if (IsLink(path)) return unreadable({FileError::Kind::NotRegular, {}});
        const WinFile file(::CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND) return {};
            return unreadable(SystemError(error));
        }
        BY_HANDLE_FILE_INFORMATION info;
        if (!::GetFileInformationByHandle(file.get(), &info))
            return unreadable(SystemError(::GetLastError()));
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return unreadable({FileError::Kind::Folder, {}});
        if (::GetFileType(file.get()) != FILE_TYPE_DISK)
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

    // Windows keeps no owner the program could check cheaply; what is the user's is taken to
    // be what the user can open.
    Entry Look(const Folder& at, const QByteArray& name) override {
        const std::wstring path = At(at, name);
        WIN32_FIND_DATAW found;
        if (!Find(path, &found)) return {};
        const DWORD attributes = found.dwFileAttributes;
        const Entry::Kind kind = IsLink(found)                             ? Entry::Kind::Link
                                 : (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Entry::Kind::Folder
                                                                           : Entry::Kind::Regular;
        Entry entry{kind, true, (attributes & FILE_ATTRIBUTE_READONLY) != 0};
        const WinFile file(::CreateFileW(
            path.c_str(), FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (file.valid() && ::GetFileInformationByHandle(file.get(), &info))
            entry.names = info.nNumberOfLinks;
        return entry;
    }

    QList<QByteArray> Names(const Folder& at) override {
        QList<QByteArray> names;
        WIN32_FIND_DATAW found;
        const HANDLE search = ::FindFirstFileW(At(at, "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do
            names.append(QString::fromWCharArray(found.cFileName).toUtf8());
        while (::FindNextFileW(search, &found));
        ::FindClose(search);
        return names;
    }

    // Opened with no sharing at all: while this process lives, any other open of the file
    // fails with a sharing violation, and Windows closes it the moment the process ends.
    SysCode OpenLock(const Folder& at, const QByteArray& name, Handle* file) override {
        const HANDLE opened = ::CreateFileW(
            At(at, name).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        *file = NoHandle;
        if (opened == INVALID_HANDLE_VALUE) return LastError();
        if (::GetFileType(opened) != FILE_TYPE_DISK) {
            ::CloseHandle(opened);
            return ERROR_INVALID_NAME;
        }
        *file = reinterpret_cast<Handle>(opened);
        return 0;
    }

    // A copy holds its lock with no sharing; a backup or sync tool reads with sharing.
    SysCode OpenShared(const Folder& at, const QByteArray& name) override {
        const WinFile opened(::CreateFileW(At(at, name).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                           nullptr));
        return opened.valid() ? 0 : LastError();
    }

    // The open without sharing is the lock.
    SysCode HoldLock(Handle) override { return 0; }

    SysCode ReadAll(Handle file, qsizetype maxBytes, QByteArray* bytes) override {
        bytes->resize(maxBytes);
        DWORD got = 0;
        LARGE_INTEGER start{};
        const bool read = ::SetFilePointerEx(Of(file), start, nullptr, FILE_BEGIN) &&
                          ::ReadFile(Of(file), bytes->data(), DWORD(maxBytes), &got, nullptr);
        bytes->truncate(read ? got : 0);
        return read ? 0 : LastError();
    }

    SysCode Rewrite(Handle file, const QByteArray& bytes) override {
        LARGE_INTEGER start{};
        return ::SetFilePointerEx(Of(file), start, nullptr, FILE_BEGIN) &&
                       ::SetEndOfFile(Of(file)) && WriteAll(Of(file), bytes)
                   ? 0
                   : LastError();
    }

    // Held open without delete sharing, its name cannot go to another file.
    SysCode Leads(const Folder&, const QByteArray&, Handle) override { return 0; }

    SysCode MakeWritable(const Folder& at, const QByteArray& name) override {
        const std::wstring path = At(at, name);
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
        return ::SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY))
                   ? 0
                   : LastError();
    }

    // The handle opened it with no sharing, so the file it deletes is certainly this run's.
    // Sharing does not keep others from marking it read-only meanwhile, and Windows deletes no
    // read-only file: the mark goes first.
    void RemoveHeld(const Folder&, const QByteArray&, Handle file) override {
        FILE_BASIC_INFO plain{};
        plain.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(Of(file), FileBasicInfo, &plain, sizeof plain);
        FILE_DISPOSITION_INFO dispose{TRUE};
        ::SetFileInformationByHandle(Of(file), FileDispositionInfo, &dispose, sizeof dispose);
        ::CloseHandle(Of(file));
    }

  private:
    // The old file goes to a backup name, never deleted by the call itself: where ReplaceFileW
    // stops half-way, both files are still there to be put right. Its other failures leave
    // both names as they were. A read-only file it never replaces, whatever it answers
    // (ERROR_UNABLE_TO_REMOVE_REPLACED would be tried again): access denied, said at once.
    static SysCode Replace(const std::wstring& source, const std::wstring& target,
                           const std::wstring& backup) {
        if (::ReplaceFileW(target.c_str(), source.c_str(), backup.c_str(), ReplaceFlags, nullptr,
                           nullptr))
            return 0;
        const SysCode code = LastError();
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (code != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_READONLY))
            return ERROR_ACCESS_DENIED;
        return code;
    }

    static SysCode Move(const std::wstring& from, const std::wstring& to, bool replace) {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        return ::MoveFileExW(from.c_str(), to.c_str(), flags) ? 0 : LastError();
    }

    // ReplaceFileW stopped half-way: the old file is at the backup name, the new one still at
    // its own, and nothing at the target. The new one follows; where it cannot, the old one
    // goes back (and where even that fails, the next start keeps it from its backup name).
    static SysCode Finish(const std::wstring& source, const std::wstring& target,
                          const std::wstring& backup, bool dropBackup) {
        if (const SysCode code = Move(source, target, false)) {
            Move(backup, target, false);
            return code;
        }
        if (dropBackup) ::DeleteFileW(backup.c_str());
        return 0;
    }
};

FileCalls& SystemCalls() {
    static SystemFileCalls calls;
    return calls;
}
