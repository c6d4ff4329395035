#include "core/ledger_files.h"

#include "core/file_names.h"
#include "core/ledger_file_format.h"
#include "core/process.h"

#include <QSysInfo>
#include <algorithm>

namespace {
const QByteArray LedgerName = LedgerFileName;
const QByteArray PlainCopyName = PlainCopyFileName;
} // namespace

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
    LockTry taken = at.Lock(name);
    switch (taken.status) {
    case LockTry::Status::Held:
        break;
    case LockTry::Status::Busy:
        return {.status = LockAttempt::Status::Open};
    case LockTry::Status::NotAFile:
        return {.status = LockAttempt::Status::NotAFile};
    case LockTry::Status::OtherAccount:
        return {.status = LockAttempt::Status::OtherAccount};
    case LockTry::Status::NotCreated:
        return {.status = LockAttempt::Status::NotCreated, .error = taken.error};
    }
    lock = std::move(taken.lock);
    // The lines of whoever held it last: pid, program, host.
    const QList<QByteArray> lines = taken.content.split('\n');
    bool known = lines.size() >= 3;
    const qint64 pid = known ? lines[0].toLongLong(&known) : 0;
    const QString host = known ? QString::fromUtf8(lines[2]) : QString();
    const bool here = known && host == QSysInfo::machineHostName();
    // Nobody holds the kernel's lock, so its holder has ended, whatever its lines say; only
    // another host's copy could hold it unseen, on a share that keeps no locks across hosts.
    // Where the file system keeps no locks at all, the lines are all there is to go by.
    if (lock->Kernel() ? !known || here
                       : taken.content.isEmpty() || (here && !ProcessRuns(pid, lines[1]))) {
        TakeOverLock();
        return {.status = LockAttempt::Status::Held};
    }
    if (here) {
        lock.reset();
        return {.status = LockAttempt::Status::Open};
    }
    return {LockAttempt::Status::Uncheckable, pid, host, known ? lines[1] : QByteArray()};
}

void LedgerFiles::TakeOverLock() {
    lock->Write(QByteArray::number(ProcessId()) + "\n" + ProcessName() + "\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    lockHeld = true;
}

void LedgerFiles::ReleaseLock() {
    if (!lockHeld) return;
    lockHeld = false;
    lock->Release();
}

void LedgerFiles::RemoveStaleTemporaries() const {
    folder.RemoveStaleTemporaries({LedgerName, PlainCopyName});
    if (ledger.folder && (!ledger.folder->SameAs(folder) || ledger.name != LedgerName))
        ledger.folder->RemoveStaleTemporaries({ledger.name});
}

QStringList LedgerFiles::KeptFiles() const {
    QStringList kept;
    if (!ledger.folder) return kept;
    for (const QByteArray& name : ledger.folder->Names())
        if (name.startsWith(ledger.name + KeptSuffix)) kept.append(ledger.folder->Shown(name));
    kept.sort();
    return kept;
}

FileRead LedgerFiles::LoadLedgerFile() {
    if (!ledger.folder) return {FileRead::Status::Unreadable, {}, ledger.error};
    const FileRead read = ledger.folder->Read(ledger.name, MaxLedgerFileLength);
    if (read.status == FileRead::Status::Missing) ledgerAsKnown = Replacing::Nothing();
    if (read.status == FileRead::Status::Loaded) ledgerAsKnown = Replacing::Only(read.bytes);
    return read;
}

bool LedgerFiles::FollowFolder(FileError* why) {
    std::optional<Folder> now = folder.Current(why);
    if (!now) return false;
    if (!now->SameAs(folder)) {
        folder = std::move(*now);
        ledger = folder.Resolve(LedgerName);
    }
    return true;
}

SaveResult LedgerFiles::WriteLedger(const QByteArray& bytes, const Replacing& replacing) {
    FileError why;
    if (!FollowFolder(&why)) return {FileWrite::Status::Failed, why};
    if (!ledger.folder) return {FileWrite::Status::Failed, ledger.error};
    const SaveResult written = ledger.folder->Replace(ledger.name, bytes, replacing);
    if (written.InPlace()) ledgerAsKnown = Replacing::Only(bytes);
    return written;
}

SaveResult LedgerFiles::SaveLedgerFile(const QByteArray& bytes) {
    return WriteLedger(bytes, ledgerAsKnown);
}

SaveResult LedgerFiles::ReplaceLedgerFile(const QByteArray& bytes) {
    return WriteLedger(bytes, Replacing::Anything());
}

SaveResult LedgerFiles::SavePlainCopy(const QByteArray& bytes) {
    FileError why;
    if (!FollowFolder(&why)) return {FileWrite::Status::Failed, why};
    const Folder::Place copy = folder.Resolve(PlainCopyName);
    if (!copy.folder) return {FileWrite::Status::Failed, copy.error};
    return copy.folder->Replace(copy.name, bytes);
}

SaveResult LedgerFiles::SaveLedgerBeside(const QByteArray& bytes, QString* shown) {
    FileError why;
    if (!FollowFolder(&why)) return {FileWrite::Status::Failed, why};
    if (!ledger.folder) return {FileWrite::Status::Failed, ledger.error};
    // This run's own kept file is brought up to date; any other name is taken only where no
    // file stands, so that no kept ledger ever replaces another.
    SaveResult written{FileWrite::Status::Changed, {}};
    if (!kept.isEmpty()) written = ledger.folder->Replace(kept, bytes, Replacing::Only(keptBytes));
    const QByteArray prefix = ledger.name + KeptSuffix;
    int number = 0;
    for (const QByteArray& name : ledger.folder->Names())
        if (name.startsWith(prefix)) number = std::max(number, name.mid(prefix.size()).toInt());
    while (written.status == FileWrite::Status::Changed && number < 1'000'000) {
        kept = prefix + QByteArray::number(++number);
        written = ledger.folder->Replace(kept, bytes, Replacing::Nothing());
    }
    if (written.InPlace()) keptBytes = bytes;
    *shown = ledger.folder->Shown(kept);
    return written;
}
