#include "app/ledger_lock.h"

#include "gui/messages.h"

#include <QLockFile>
#include <QSysInfo>

LockOutcome TakeLedgerLock(QLockFile& lock, const QString& folder) {
    lock.setStaleLockTime(0); // a lock is stale only when its process is known to be gone
    if (lock.tryLock(0)) return LockOutcome::Held;
    if (lock.error() != QLockFile::LockFailedError) return LockOutcome::Unlocked;

    qint64 pid = 0;
    QString host;
    QString app;
    const bool known = lock.getLockInfo(&pid, &host, &app);
    if (known && host == QSysInfo::machineHostName()) {
        ShowBox(Box::AlreadyOpen(folder));
        return LockOutcome::Refused;
    }
    if (ShowBox(Box::UncheckableLock(folder, known ? host : QString(), pid)) != MsgAnswer::Yes)
        return LockOutcome::Declined;
    if (lock.removeStaleLockFile() && lock.tryLock(0)) return LockOutcome::Held;
    ShowBox(Box::LockNotRemoved(folder));
    return LockOutcome::Refused;
}
