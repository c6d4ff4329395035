#include "core/file_protocol.h"

#include "core/file_names.h"
#include "core/process.h"

#include <QSet>
#include <QSysInfo>
#include <QThread>
#include <algorithm>

namespace {

// Also runs as the process exits, when Qt's own helpers may be gone: only plain state here.
unsigned long temporaries = 0;

constexpr qsizetype MaxLockLength = 4096;        // a few short lines; more is not one of ours
constexpr qsizetype MaxComparedLength = 1 << 24; // an aside file longer is kept unread

QByteArray NewName(const QByteArray& name) {
    return "." + name + "." + QByteArray::number(ProcessId()) + "." +
           QByteArray::number(quint64(++temporaries));
}

enum class Temporary { None, New, Aside };

Temporary TemporaryOf(const QByteArray& entry, const QByteArray& name) {
    const QByteArray prefix = "." + name + ".";
    if (!entry.startsWith(prefix)) return Temporary::None;
    QList<QByteArray> parts = entry.mid(prefix.size()).split('.');
    const bool aside = parts.size() == 3 && parts.last() == "aside";
    if (aside) parts.removeLast();
    if (parts.size() != 2) return Temporary::None;
    for (const QByteArray& number : parts) {
        if (number.isEmpty()) return Temporary::None;
        for (const char c : number)
            if (c < '0' || c > '9') return Temporary::None;
    }
    return aside ? Temporary::Aside : Temporary::New;
}

const char* WhyWord(KeptFile::Why why) {
    switch (why) {
    case KeptFile::Why::Changed:
        return "";
    case KeptFile::Why::Unchecked:
        return ".unread";
    case KeptFile::Why::Unwritten:
        return ".unwritten";
    case KeptFile::Why::Other:
        return ".other";
    case KeptFile::Why::Found:
        return ".found";
    }
    return "";
}

struct KeptName {
    quint64 number = 0; // 0: not a kept name
    KeptFile::Why why = KeptFile::Why::Changed;
};

KeptName ParseKept(const QByteArray& entry, const QByteArray& name) {
    const QByteArray prefix = name + KeptSuffix;
    if (!entry.startsWith(prefix)) return {};
    const QByteArray rest = entry.mid(prefix.size());
    const qsizetype dot = rest.indexOf('.');
    bool number = false;
    const quint64 n = (dot < 0 ? rest : rest.left(dot)).toULongLong(&number);
    if (!number || n == 0) return {};
    const QByteArray word = dot < 0 ? QByteArray() : rest.mid(dot);
    for (const auto why : {KeptFile::Why::Changed, KeptFile::Why::Unchecked,
                           KeptFile::Why::Unwritten, KeptFile::Why::Other, KeptFile::Why::Found})
        if (word == WhyWord(why)) return {n, why};
    return {n, KeptFile::Why::Changed}; // a name the user gave it: kept for a change, as before
}

} // namespace

QByteArray AsideName(const QByteArray& name) {
    return NewName(name) + ".aside";
}

HeldLock::HeldLock(FileCalls& calls, Folder at, QByteArray name, FileCalls::Handle file,
                   bool kernel)
    : calls(calls), at(std::move(at)), name(std::move(name)), file(file), kernel(kernel) {}

HeldLock::~HeldLock() {
    if (file != FileCalls::NoHandle) calls.Close(file);
}

void HeldLock::Write(const QByteArray& lines) const {
    calls.Rewrite(file, lines);
}

void HeldLock::Release() {
    if (file == FileCalls::NoHandle) return;
    calls.RemoveHeld(at, name, file);
    file = FileCalls::NoHandle;
}

template <typename Call> SysCode FileProtocol::Retried(Call call) const {
    SysCode code = call();
    for (int attempt = 0; attempt < 50 && Meaning(code) == Means::Busy; ++attempt) {
        QThread::msleep(10);
        code = call();
    }
    return code;
}

FileProtocol::NewFile FileProtocol::WriteNew(const Folder& at, const QByteArray& name,
                                             const QByteArray& bytes, bool sync) const {
    NewFile made;
    FileCalls::Handle file = FileCalls::NoHandle;
    for (int attempt = 0; attempt < 100; ++attempt) {
        made.name = NewName(name);
        made.code = calls.Create(at, made.name, &file);
        if (Meaning(made.code) != Means::Exists) break;
    }
    if (made.code) return made;
    // What the file system refuses to copy is left: the new file is then owner-only.
    calls.CopyAttributes(at, name, file);
    made.code = calls.Write(file, bytes);
    if (!made.code && sync) {
        made.code = calls.Sync(file);
        // Where the file system syncs nothing itself, the folder's sync is all there is.
        if (Meaning(made.code) == Means::Unsupported) made.code = 0;
    }
    calls.Close(file);
    if (made.code) calls.Remove(at, made.name);
    return made;
}

FileWrite FileProtocol::Failed(const Folder& at, const QByteArray& name, SysCode code) const {
    // Windows refuses to replace a read-only file: said so, since trying again cannot help.
    if (Meaning(code) == Means::Denied && calls.Look(at, name).readOnly)
        return {FileWrite::Status::Failed, {FileError::Kind::ReadOnly, {}}};
    return {FileWrite::Status::Failed, SystemError(code)};
}

FileWrite FileProtocol::Synced(const Folder& at, FileWrite done) const {
    // The renames live only in memory until the folder itself is on the disk: a power cut
    // before that brings back the old file. Some file systems (network shares) sync no
    // folder at all, and keep the rename as durably as they can.
    const SysCode code = calls.SyncFolder(at);
    if (code && Meaning(code) != Means::Unsupported && done.status == FileWrite::Status::Written)
        return {FileWrite::Status::NotDurable, SystemError(code)};
    return done;
}

FileWrite FileProtocol::Replace(const Folder& at, const QByteArray& name, const QByteArray& bytes,
                                const Replacing& replacing) const {
    if (calls.Look(at, name).kind == Entry::Kind::Folder)
        return {replacing.anything ? FileWrite::Status::Failed : FileWrite::Status::Unchecked,
                {FileError::Kind::Folder, {}}};
    const NewFile made = WriteNew(at, name, bytes, true);
    if (made.code) return Failed(at, name, made.code);
    if (replacing.anything) {
        // The rename replaces whatever has the name, a link included, and follows nothing.
        const SysCode code = Retried([&] { return calls.Rename(at, made.name, name, true); });
        if (!code) return Synced(at, {});
        calls.Remove(at, made.name);
        return Failed(at, name, code);
    }
    const QByteArray aside = AsideName(name);
    if (const SysCode code = calls.Rename(at, made.name, aside, false)) {
        calls.Remove(at, made.name);
        return Failed(at, name, code);
    }
    const qsizetype known = replacing.was ? replacing.was->size() : 0;
    for (int attempt = 0;; ++attempt) {
        // The two files swap names at once: what is then at the aside name is what had the
        // name, judged with no moment in which another writer could slip in.
        SysCode code = Retried([&] { return calls.Exchange(at, aside, name); });
        if (!code) {
            const FileWrite judged = FileWrite::Judge(calls.Read(at, aside, known), replacing);
            if (judged.status != FileWrite::Status::Written)
                return PutBack(at, aside, name, judged);
            calls.Remove(at, aside);
            return Synced(at, {});
        }
        if (Meaning(code) == Means::Missing && attempt < 3) {
            // Nothing has the name: it takes the new file unless one came meanwhile.
            code = calls.Rename(at, aside, name, false);
            if (!code) return Synced(at, {});
            if (Meaning(code) == Means::Exists) continue;
        } else {
            // A system that cannot swap names (or will not: a sandbox's EPERM): checked right
            // before the rename.
            const FileWrite judged = FileWrite::Judge(calls.Read(at, name, known), replacing);
            if (judged.status != FileWrite::Status::Written) {
                calls.Remove(at, aside);
                return judged;
            }
            code = Retried([&] { return calls.Rename(at, aside, name, true); });
            if (!code) return Synced(at, {});
        }
        calls.Remove(at, aside);
        return Failed(at, name, code);
    }
}

FileWrite FileProtocol::PutBack(const Folder& at, const QByteArray& aside, const QByteArray& name,
                                FileWrite judged) const {
    const SysCode code = Retried([&] { return calls.Exchange(at, aside, name); });
    if (!code) {
        calls.Remove(at, aside); // this run's own new file again
        return Synced(at, judged);
    }
    // The other file cannot go back: this run's stays at the name, and the other is kept.
    QByteArray kept = aside;
    KeepAs(at, aside, name, KeptFile::Why::Other, &kept);
    return Synced(at, {FileWrite::Status::Displaced, SystemError(code), at.Shown(kept)});
}

SysCode FileProtocol::KeepAs(const Folder& at, const QByteArray& from, const QByteArray& name,
                             KeptFile::Why why, QByteArray* kept) const {
    QSet<quint64> taken;
    for (const QByteArray& entry : calls.Names(at))
        if (const quint64 n = ParseKept(entry, name).number) taken.insert(n);
    SysCode code = 0;
    for (quint64 n = 1;; ++n) {
        if (taken.contains(n)) continue;
        const QByteArray candidate = name + KeptSuffix + QByteArray::number(n) + WhyWord(why);
        code = calls.Rename(at, from, candidate, false);
        if (Meaning(code) == Means::Exists) continue;
        if (!code) *kept = candidate;
        return code;
    }
}

FileProtocol::Kept FileProtocol::Keep(const Folder& at, const QByteArray& name,
                                      const QByteArray& bytes, KeptFile::Why why) const {
    const NewFile made = WriteNew(at, name, bytes, true);
    if (made.code) return {Failed(at, name, made.code), {}};
    Kept kept;
    if (const SysCode code = KeepAs(at, made.name, name, why, &kept.kept)) {
        calls.Remove(at, made.name);
        return {Failed(at, name, code), {}};
    }
    kept.written = Synced(at, {});
    return kept;
}

QList<KeptFile> FileProtocol::KeptBeside(const Folder& at, const QList<QByteArray>& names) const {
    QList<KeptFile> kept;
    QList<QByteArray> entries = calls.Names(at);
    std::sort(entries.begin(), entries.end());
    for (const QByteArray& entry : entries)
        for (const QByteArray& name : names)
            if (const KeptName parsed = ParseKept(entry, name); parsed.number)
                kept.append({parsed.why, at.Shown(entry), at.Shown(), name});
    return kept;
}

void FileProtocol::Sweep(const Folder& at, const QList<QByteArray>& names) const {
    for (const QByteArray& entry : calls.Names(at)) {
        for (const QByteArray& name : names) {
            const Temporary kind = TemporaryOf(entry, name);
            if (kind == Temporary::None) continue;
            const Entry what = calls.Look(at, entry);
            if (what.kind != Entry::Kind::Regular || !what.usersOwn) continue;
            if (kind == Temporary::New) {
                calls.Remove(at, entry);
                continue;
            }
            // What had the name before a save cut short, or a whole new file: only a copy of
            // what has the name now goes.
            const FileRead aside = calls.Read(at, entry, MaxComparedLength);
            const FileRead now = calls.Read(at, name, MaxComparedLength);
            if (aside.status == FileRead::Status::Loaded &&
                now.status == FileRead::Status::Loaded && aside.bytes.size() <= MaxComparedLength &&
                aside.bytes == now.bytes) {
                calls.Remove(at, entry);
                continue;
            }
            QByteArray kept;
            KeepAs(at, entry, name, KeptFile::Why::Found, &kept);
        }
    }
    calls.SyncFolder(at);
}

FileProtocol::Locked FileProtocol::Lock(const Folder& at, const QByteArray& name,
                                        const QByteArray& lines) const {
    const auto outcome = [](LockOutcome::Status status, FileError error = {}) {
        return Locked{{.status = status, .error = std::move(error)}, nullptr};
    };
    bool madeWritable = false;
    SysCode last = 0; // why the last try did not take it
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (attempt > 0) QThread::msleep(attempt * 5);
        Entry entry = calls.Look(at, name);
        bool created = false;
        if (entry.kind == Entry::Kind::None) {
            // Written whole before its name exists, so that an empty lock is never a fresh one.
            const NewFile made = WriteNew(at, name, lines, false);
            if (made.code) return outcome(LockOutcome::Status::NotCreated, SystemError(made.code));
            const SysCode code = calls.Rename(at, made.name, name, false);
            if (code) calls.Remove(at, made.name);
            last = code;
            // Another copy's, made meanwhile; or ours swept by a copy that holds it already.
            if (Meaning(code) == Means::Exists || Meaning(code) == Means::Missing) continue;
            if (code) return outcome(LockOutcome::Status::NotCreated, SystemError(code));
            created = true;
            entry = {Entry::Kind::Regular, true};
        }
        // Never opened unless it is a regular file: a pipe there would block, a device never end.
        if (entry.kind != Entry::Kind::Regular) return outcome(LockOutcome::Status::NotAFile);
        if (!entry.usersOwn) return outcome(LockOutcome::Status::OtherAccount);
        // Writing it would write the other name's file (a ledger, say).
        if (entry.names > 1) return outcome(LockOutcome::Status::Linked);
        FileCalls::Handle file = FileCalls::NoHandle;
        const SysCode opened = calls.OpenLock(at, name, &file);
        last = opened;
        switch (Meaning(opened)) {
        case Means::Done:
            break;
        case Means::Missing:
            continue; // its holder removed it as it ended
        case Means::Busy:
            // A copy holds it with no sharing; another program that has it open shares it.
            return outcome(Meaning(calls.OpenShared(at, name)) == Means::Busy
                               ? LockOutcome::Status::Open
                               : LockOutcome::Status::InUse);
        case Means::Denied:
            // The user's own lock, left read-only (restored from read-only media, say).
            if (entry.readOnly && !madeWritable) {
                madeWritable = true;
                calls.MakeWritable(at, name);
                continue;
            }
            continue; // a lock still being deleted is gone in a moment
        case Means::NoWrites:
            // Nothing can be saved here either, and the save says so.
            return outcome(LockOutcome::Status::NotCreated, SystemError(opened));
        default:
            return outcome(LockOutcome::Status::Unopened, SystemError(opened));
        }
        QByteArray content;
        calls.ReadAll(file, MaxLockLength, &content);
        // An open file description's lock: the kernel's answer to whether a holder lives, in
        // any pid namespace, and freed the moment the holder ends.
        const SysCode held = calls.HoldLock(file);
        if (Meaning(held) == Means::Busy) {
            calls.Close(file);
            return outcome(LockOutcome::Status::Open);
        }
        // The holder before may have removed the name between the open and the lock.
        if ((last = calls.Leads(at, name, file))) {
            calls.Close(file);
            continue;
        }
        auto lock = std::make_unique<HeldLock>(calls, at, name, file, held == 0);
        if (created) return {{.status = LockOutcome::Status::Held}, std::move(lock)};

        // The lines of whoever held it last: pid, program, host.
        const QList<QByteArray> said = content.split('\n');
        bool known = said.size() >= 3;
        const qint64 pid = known ? said[0].toLongLong(&known) : 0;
        const QString host = known ? QString::fromUtf8(said[2]) : QString();
        const bool here = known && host == QSysInfo::machineHostName();
        // Nobody holds the kernel's lock, so its holder has ended, whatever its lines say; only
        // another host's copy could hold it unseen, on a share that keeps no locks across hosts.
        // Where the file system keeps no locks at all, the lines are all there is to go by.
        if (lock->Kernel() ? !known || here
                           : content.isEmpty() || (here && !ProcessRuns(pid, said[1]))) {
            lock->Write(lines);
            return {{.status = LockOutcome::Status::Held}, std::move(lock)};
        }
        if (here) return outcome(LockOutcome::Status::Open);
        return {{LockOutcome::Status::Uncheckable, pid, host, known ? said[1] : QByteArray()},
                std::move(lock)};
    }
    return outcome(LockOutcome::Status::Unopened, SystemError(last));
}
