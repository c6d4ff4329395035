#include "app/ledger_lock.h"

#include "core/ledger_store.h"
#include "gui/messages.h"

LockOutcome TakeLedgerLock(LedgerStore& store) {
    const LockAttempt lock = store.TakeLock();
    switch (lock.status) {
    case LockAttempt::Status::Held:
        return LockOutcome::Held;
    case LockAttempt::Status::NotCreated:
        return LockOutcome::Unlocked;
    case LockAttempt::Status::NotAFile:
        ShowBox(Box::LockNotAFile(store.LockShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::OtherAccount:
        ShowBox(Box::LockedByOtherAccount(store.FolderShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::Open:
        ShowBox(Box::AlreadyOpen(store.FolderShown()));
        return LockOutcome::Refused;
    case LockAttempt::Status::Uncheckable:
        break;
    }
    if (ShowBox(Box::UncheckableLock(store.FolderShown(), lock.host, lock.pid)) != MsgAnswer::Yes)
        return LockOutcome::Declined;
    store.TakeOverLock();
    return LockOutcome::Held;
}
