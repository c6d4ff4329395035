#include "core/ledger_files.h"

#include "core/file_names.h"
#include "core/ledger_file_format.h"
#include "core/process.h"

#include <QSysInfo>

namespace {
const QByteArray LedgerName = LedgerFileName;
const QByteArray PlainCopyName = PlainCopyFileName;

// What a lock says of this run: pid, program, host.
QByteArray LockLines() {
    return QByteArray::number(ProcessId()) + "\n" + ProcessName() + "\n" +
           QSysInfo::machineHostName().toUtf8() + "\n";
}
} // namespace

OrWhy<std::unique_ptr<LedgerFiles>> LedgerFiles::Open(const QByteArray& path, FileCalls& calls) {
    auto [folder, why] = Folder::Open(path);
    if (!folder) return {nullptr, why};
    return {std::unique_ptr<LedgerFiles>(new LedgerFiles(calls, std::move(*folder)))};
}

LedgerFiles::LedgerFiles(FileCalls& calls, Folder folder)
    : calls(calls), protocol(calls), folder(std::move(folder)), lockPlace(Ledger()) {}

// Where the ledger's name leads now: a link's target folder is followed by its path at each
// save, as the program's own folder is.
Folder::Place LedgerFiles::Ledger() const {
    return folder.Resolve(LedgerName);
}

QString LedgerFiles::FolderShown() const {
    return folder.Shown();
}

QString LedgerFiles::LedgerShown() const {
    return folder.Shown(LedgerName);
}

QString LedgerFiles::PlainCopyShown() const {
    return folder.Shown(PlainCopyName);
}

// Beside the file the ledger's name leads to, so that two folders linking to one ledger
// share one lock; beside the name itself when it leads nowhere.
QString LedgerFiles::LockShown() const {
    if (lockPlace.folder) return lockPlace.folder->Shown(lockPlace.name + LockSuffix);
    return folder.Shown(LedgerName + LockSuffix);
}

LockOutcome LedgerFiles::TakeLock() {
    const Folder& at = lockPlace.folder ? *lockPlace.folder : folder;
    const QByteArray name = (lockPlace.folder ? lockPlace.name : LedgerName) + LockSuffix;
    FileProtocol::Locked taken = protocol.Lock(at, name, LockLines());
    lock = std::move(taken.lock);
    lockHeld = taken.outcome.status == LockOutcome::Status::Held;
    return taken.outcome;
}

void LedgerFiles::TakeOverLock() {
    lock->Write(LockLines());
    lockHeld = true;
}

void LedgerFiles::ReleaseLock() {
    if (!lockHeld) return;
    lockHeld = false;
    lock->Release();
}

void LedgerFiles::RemoveStaleTemporaries() const {
    protocol.Sweep(folder, {LedgerName, PlainCopyName});
    const Folder::Place ledger = Ledger();
    if (ledger.folder && (!ledger.folder->SameAs(folder) || ledger.name != LedgerName))
        protocol.Sweep(*ledger.folder, {ledger.name});
    if (lockPlace.folder) protocol.Sweep(*lockPlace.folder, {lockPlace.name + LockSuffix});
}

QList<KeptFile> LedgerFiles::KeptFiles() const {
    QList<KeptFile> kept = protocol.KeptBeside(folder, {LedgerName, PlainCopyName});
    const Folder::Place ledger = Ledger();
    if (ledger.folder && (!ledger.folder->SameAs(folder) || ledger.name != LedgerName))
        kept += protocol.KeptBeside(*ledger.folder, {ledger.name});
    return kept;
}

FileRead LedgerFiles::LoadLedgerFile() {
    const Folder::Place ledger = Ledger();
    if (ledger.error.kind != FileError::Kind::None)
        return {FileRead::Status::Unreadable, {}, ledger.error};
    const FileRead read = calls.Read(*ledger.folder, ledger.name, MaxLedgerFileLength);
    // A file that could not be read is never replaced unseen either.
    ledgerAsKnown = read.status == FileRead::Status::Loaded ? Replacing::Only(read.bytes)
                                                            : Replacing::Nothing();
    return read;
}

FileError LedgerFiles::FollowFolder() {
    auto [now, why] = folder.Current();
    if (now && !now->SameAs(folder)) folder = std::move(*now);
    return why;
}

FileWrite LedgerFiles::WriteLedger(const QByteArray& bytes, const Replacing& replacing) {
    if (const FileError why = FollowFolder(); why.kind != FileError::Kind::None)
        return {FileWrite::Status::Failed, why};
    const Folder::Place ledger = Ledger();
    if (!ledger.folder) return {FileWrite::Status::Failed, ledger.error};
    const FileWrite written = protocol.Replace(*ledger.folder, ledger.name, bytes, replacing);
    if (written.InPlace()) ledgerAsKnown = Replacing::Only(bytes);
    return written;
}

FileWrite LedgerFiles::SaveLedgerFile(const QByteArray& bytes) {
    return WriteLedger(bytes, ledgerAsKnown);
}

FileWrite LedgerFiles::ReplaceLedgerFile(const QByteArray& bytes) {
    return WriteLedger(bytes, Replacing::Anything());
}

FileWrite LedgerFiles::SavePlainCopy(const QByteArray& bytes) {
    if (const FileError why = FollowFolder(); why.kind != FileError::Kind::None)
        return {FileWrite::Status::Failed, why};
    const Folder::Place copy = folder.Resolve(PlainCopyName);
    if (!copy.folder) return {FileWrite::Status::Failed, copy.error};
    return protocol.Replace(*copy.folder, copy.name, bytes);
}

FileWrite LedgerFiles::SaveLedgerBeside(const QByteArray& bytes, KeptFile::Why why) {
    if (const FileError failed = FollowFolder(); failed.kind != FileError::Kind::None)
        return {FileWrite::Status::Failed, failed};
    const Folder::Place ledger = Ledger();
    // Where the ledger's name leads nowhere, the kept file goes beside the name itself.
    const Folder& at = ledger.folder ? *ledger.folder : folder;
    const QByteArray name = ledger.folder ? ledger.name : LedgerName;
    // This run's own kept file is brought up to date; any other name is taken only where no
    // file stands, so that no kept ledger ever replaces another.
    if (!kept.isEmpty()) {
        FileWrite written = protocol.Replace(at, kept, bytes, Replacing::Only(keptBytes));
        if (written.InPlace()) {
            keptBytes = bytes;
            written.kept = at.Shown(kept);
            return written;
        }
    }
    FileProtocol::Kept made = protocol.Keep(at, name, bytes, why);
    if (made.written.InPlace()) {
        kept = made.kept;
        keptBytes = bytes;
        made.written.kept = at.Shown(kept);
    }
    return made.written;
}
