#include "app/ledger_lock.h"

#include "core/ledger_files.h"
#include "gui/messages.h"

LockOutcome TakeLedgerLock(LedgerFiles& files) {
    const LockAttempt lock = files.TakeLock();
    switch (lock.status) {
    case LockAttempt::Status::Held:
        return LockOutcome::Held;
    case LockAttempt::Status::NotCreated:
        return LockOutcome::Unlocked;
    case LockAttempt::Status::NotAFile:
        ShowBox(Box::LockNotAFile(files.LockShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::OtherAccount:
        ShowBox(Box::LockedByOtherAccount(files.FolderShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::Open:
        ShowBox(Box::AlreadyOpen(files.FolderShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::Uncheckable:
        break;
    }
    if (ShowBox(Box::UncheckableLock(files.FolderShown(), lock.host, lock.pid)) != MsgAnswer::Yes)
        return LockOutcome::Declined;
    files.TakeOverLock();
    return LockOutcome::Held;
}
