#include "app/ledger_lock.h"

#include "core/ledger_store.h"
#include "gui/messages.h"

LockOutcome TakeLedgerLock(LedgerStore& store) {
    LockOutcome lock = store.TakeLock();
    switch (lock.status) {
    case LockOutcome::Status::Held:
    case LockOutcome::Status::NotCreated:
    case LockOutcome::Status::Declined:
        return lock;
    case LockOutcome::Status::NotAFile:
        ShowBox(Box::LockNotAFile(store.LockShown()));
        return lock;
    case LockOutcome::Status::Linked:
        ShowBox(Box::LockLinked(store.LockShown()));
        return lock;
    case LockOutcome::Status::InUse:
        ShowBox(Box::LockInUse(store.LockShown()));
        return lock;
    case LockOutcome::Status::Unopened:
        ShowBox(Box::LockUnopened(store.LockShown(), lock.error));
        return lock;
    case LockOutcome::Status::OtherAccount:
        ShowBox(Box::LockedByOtherAccount(store.FolderShown()));
        return lock;
    case LockOutcome::Status::Open:
        ShowBox(Box::AlreadyOpen(store.FolderShown()));
        return lock;
    case LockOutcome::Status::Uncheckable:
        break;
    }
    if (ShowBox(Box::UncheckableLock(store.FolderShown(), lock.host, lock.pid)) != MsgAnswer::Yes) {
        lock.status = LockOutcome::Status::Declined;
        return lock;
    }
    store.TakeOverLock();
    lock.status = LockOutcome::Status::Held;
    return lock;
}
