#include "app/ledger_lock.h"

#include "core/ledger_files.h"
#include "gui/messages.h"

LockOutcome TakeLedgerLock(LedgerFiles& files) {
    LockOutcome lock = files.TakeLock();
    switch (lock.status) {
    case LockOutcome::Status::Held:
    case LockOutcome::Status::NotCreated:
    case LockOutcome::Status::Declined:
        return lock;
    case LockOutcome::Status::NotAFile:
        ShowBox(Box::LockNotAFile(files.LockShown()));
        return lock;
    case LockOutcome::Status::Linked:
        ShowBox(Box::LockLinked(files.LockShown()));
        return lock;
    case LockOutcome::Status::InUse:
        ShowBox(Box::LockInUse(files.LockShown()));
        return lock;
    case LockOutcome::Status::Unopened:
        ShowBox(Box::LockUnopened(files.LockShown(), lock.error));
        return lock;
    case LockOutcome::Status::OtherAccount:
        ShowBox(Box::LockedByOtherAccount(files.FolderShown()));
        return lock;
    case LockOutcome::Status::Open:
        ShowBox(Box::AlreadyOpen(files.FolderShown()));
        return lock;
    case LockOutcome::Status::Uncheckable:
        break;
    }
    if (ShowBox(Box::UncheckableLock(files.FolderShown(), lock.host, lock.pid)) != MsgAnswer::Yes) {
        lock.status = LockOutcome::Status::Declined;
        return lock;
    }
    files.TakeOverLock();
    lock.status = LockOutcome::Status::Held;
    return lock;
}
