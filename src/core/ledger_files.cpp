#include "core/ledger_files.h"

#include "core/ledger_file_format.h"

#include <QSysInfo>

namespace {
const QByteArray LedgerName = "QcEcV3.1.Txt";
const QByteArray PlainCopyName = "QcUcV3.1.Txt";
const QByteArray LockSuffix = ".lock";
// A lock is a few short lines; anything longer is not one of ours.
constexpr qsizetype MaxLockLength = 4096;

SaveResult Saved(const FileWrite& written) {
    return {written.ok, written.error};
}

// ".<name>.<pid>.<count>", as Folder::Replace names its temporaries.
bool IsTemporaryOf(const QByteArray& entry, const QByteArray& name) {
    const QByteArray prefix = "." + name + ".";
    if (!entry.startsWith(prefix)) return false;
    const QList<QByteArray> numbers = entry.mid(prefix.size()).split('.');
    if (numbers.size() != 2) return false;
    for (const QByteArray& number : numbers) {
        if (number.isEmpty()) return false;
        for (const char c : number)
            if (c < '0' || c > '9') return false;
    }
    return true;
}

void RemoveTemporaries(const Folder& folder, const QList<QByteArray>& of) {
    for (const QByteArray& entry : folder.Names()) {
        for (const QByteArray& name : of) {
            if (!IsTemporaryOf(entry, name)) continue;
            const Entry what = folder.Look(entry);
            if (what.kind == Entry::Kind::Regular && what.usersOwn) folder.Remove(entry);
        }
    }
}
} // namespace

QString LedgerFilePath(const QString& folder) {
    return folder + "/" + QString::fromLatin1(LedgerName);
}

QString PlainCopyPath(const QString& folder) {
    return folder + "/" + QString::fromLatin1(PlainCopyName);
}

QString LedgerLockPath(const QString& folder) {
    return LedgerFilePath(folder) + QString::fromLatin1(LockSuffix);
}

std::unique_ptr<LedgerFiles> LedgerFiles::Open(const QByteArray& path, FileError* why) {
    std::optional<Folder> folder = Folder::Open(path, why);
    if (!folder) return nullptr;
    Folder::Place ledger = folder->Resolve(LedgerName);
    return std::unique_ptr<LedgerFiles>(new LedgerFiles(std::move(*folder), std::move(ledger)));
}

LedgerFiles::LedgerFiles(Folder folder, Folder::Place ledger)
    : folder(std::move(folder)), ledger(std::move(ledger)) {}

QString LedgerFiles::FolderShown() const {
    return folder.Shown();
}

QString LedgerFiles::LedgerShown() const {
    return folder.Shown(LedgerName);
}

QString LedgerFiles::PlainCopyShown() const {
    return folder.Shown(PlainCopyName);
}

QString LedgerFiles::LockShown() const {
    const auto [at, name] = Lock();
    return at.Shown(name);
}

// Beside the file the ledger's name leads to, so that two folders linking to one ledger
// share one lock; beside the name itself when it leads nowhere.
LedgerFiles::NameIn LedgerFiles::Lock() const {
    if (ledger.folder) return {*ledger.folder, ledger.name + LockSuffix};
    return {folder, LedgerName + LockSuffix};
}

LockAttempt LedgerFiles::TakeLock() {
    const auto [at, name] = Lock();
    const QByteArray content = QByteArray::number(ProcessId()) + "\n" + ProcessName() + "\n" +
                               QSysInfo::machineHostName().toUtf8() + "\n";
    FileError why;
    switch (at.CreateNew(name, content, &lockIdentity, &why)) {
    case Folder::Created::Yes:
        lockHeld = true;
        return {.status = LockAttempt::Status::Held};
    case Folder::Created::Refused:
        return {.status = LockAttempt::Status::Unlocked};
    case Folder::Created::Exists:
        break;
    }
    // Never opened unless it is a regular file: a pipe there would block, a device never end.
    const Entry entry = at.Look(name);
    if (entry.kind != Entry::Kind::Regular) return {.status = LockAttempt::Status::NotAFile};
    const FileRead read = at.Read(name, MaxLockLength);
    if (read.status != FileRead::Status::Loaded)
        return {.status = entry.usersOwn ? LockAttempt::Status::Taken
                                          : LockAttempt::Status::OtherAccount};
    const QList<QByteArray> lines = read.bytes.split('\n');
    bool known = lines.size() >= 3;
    const qint64 pid = known ? lines[0].toLongLong(&known) : 0;
    if (!known) return {.status = LockAttempt::Status::Taken};
    return {LockAttempt::Status::Taken, pid, QString::fromUtf8(lines[2]), lines[1]};
}

bool LedgerFiles::RemoveForeignLock() {
    const auto [at, name] = Lock();
    return at.Look(name).kind == Entry::Kind::Regular && at.Remove(name);
}

void LedgerFiles::ReleaseLock() {
    if (!lockHeld) return;
    lockHeld = false;
    const auto [at, name] = Lock();
    // Another copy's lock, if ours was removed behind our back, stays.
    if (at.IdentityOf(name) == lockIdentity) at.Remove(name);
}

void LedgerFiles::RemoveStaleTemporaries() const {
    RemoveTemporaries(folder, {LedgerName, PlainCopyName});
    if (ledger.folder && (ledger.folder->Shown() != folder.Shown() || ledger.name != LedgerName))
        RemoveTemporaries(*ledger.folder, {ledger.name});
}

LoadResult LedgerFiles::LoadLedgerFile() {
    remembered.reset();
    if (!ledger.folder) return {LoadResult::Status::Unreadable, {}, ledger.error};
    const FileRead read = ledger.folder->Read(ledger.name, MaxLedgerFileLength);
    switch (read.status) {
    case FileRead::Status::Missing:
        return {LoadResult::Status::Missing, {}, {}};
    case FileRead::Status::Unreadable:
        return {LoadResult::Status::Unreadable, {}, read.error};
    case FileRead::Status::Loaded:
        break;
    }
    remembered = read.bytes;
    return {LoadResult::Status::Loaded, read.bytes, {}};
}

bool LedgerFiles::LedgerFileChanged() const {
    if (!ledger.folder) return true;
    const FileRead now = ledger.folder->Read(ledger.name, MaxLedgerFileLength);
    // Another file with the same bytes would lose nothing by being replaced.
    if (now.status == FileRead::Status::Missing) return remembered.has_value();
    return now.status != FileRead::Status::Loaded || now.bytes != remembered;
}

// Both files end with CR LF.
SaveResult LedgerFiles::SaveLedgerFile(const QByteArray& enciphered) {
    if (!ledger.folder) return {false, ledger.error};
    const QByteArray bytes = enciphered + "\r\n";
    const FileWrite written = ledger.folder->Replace(ledger.name, bytes);
    if (written.renamed) remembered = bytes;
    return Saved(written);
}

SaveResult LedgerFiles::SavePlainCopy(const QByteArray& plain) {
    const Folder::Place copy = folder.Resolve(PlainCopyName);
    if (!copy.folder) return {false, copy.error};
    return Saved(copy.folder->Replace(copy.name, plain + "\r\n"));
}

SaveResult LedgerFiles::SaveLedgerBeside(const QByteArray& enciphered, QString* shown) {
    if (!ledger.folder) return {false, ledger.error};
    const QByteArray name = ledger.name + ".kept-" + QByteArray::number(ProcessId());
    *shown = ledger.folder->Shown(name);
    return Saved(ledger.folder->Replace(name, enciphered + "\r\n"));
}
