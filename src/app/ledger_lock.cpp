#include "app/ledger_lock.h"

#include "core/ledger_files.h"
#include "gui/messages.h"

#include <QSysInfo>

namespace {
LockOutcome TakeOver(LedgerFiles& files) {
    if (files.RemoveForeignLock() && files.TakeLock().status == LockAttempt::Status::Held)
        return LockOutcome::Held;
    ShowBox(Box::LockNotRemoved(files.FolderShown()));
    return LockOutcome::Refused;
}
} // namespace

LockOutcome TakeLedgerLock(LedgerFiles& files) {
    const LockAttempt lock = files.TakeLock();
    switch (lock.status) {
    case LockAttempt::Status::Held:
        return LockOutcome::Held;
    case LockAttempt::Status::Unlocked:
        return LockOutcome::Unlocked;
    case LockAttempt::Status::NotAFile:
        ShowBox(Box::LockNotAFile(files.LockShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::OtherAccount:
        ShowBox(Box::LockedByOtherAccount(files.FolderShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::Taken:
        break;
    }
    if (!lock.host.isEmpty() && lock.host == QSysInfo::machineHostName()) {
        if (!ProcessRuns(lock.pid, lock.name)) return TakeOver(files);
        ShowBox(Box::AlreadyOpen(files.FolderShown()));
        return LockOutcome::Refused;
    }
    if (ShowBox(Box::UncheckableLock(files.FolderShown(), lock.host, lock.pid)) != MsgAnswer::Yes)
        return LockOutcome::Declined;
    return TakeOver(files);
}
