#include "ledger_lock.h"

#include "ledger_files.h"
#include "runtime.h"

#include <QDir>
#include <QLockFile>
#include <QSysInfo>

QString LedgerLockPath(const QString& folder) {
    return LedgerFilePath(folder) + QStringLiteral(".lock");
}

LockOutcome TakeLedgerLock(QLockFile& lock, const QString& folder) {
    lock.setStaleLockTime(0); // a lock is stale only when its process is known to be gone
    if (lock.tryLock(0)) return LockOutcome::Held;
    if (lock.error() != QLockFile::LockFailedError) return LockOutcome::Unlocked;

    const QString where = QDir::toNativeSeparators(folder);
    qint64 pid = 0;
    QString host;
    QString app;
    const bool known = lock.getLockInfo(&pid, &host, &app);
    if (known && host == QSysInfo::machineHostName()) {
        Rt().MsgBox(QStringLiteral("The ledger in %1 is already open in another copy of this "
                                   "program.")
                        .arg(where),
                    MsgStyle::Critical, MsgTitle::Error);
        return LockOutcome::Refused;
    }
    const QString whose =
        known ? QStringLiteral("The ledger in %1 is locked by a copy of this program on %2 "
                               "(process %3), which cannot be checked from here.")
                    .arg(where, host, QString::number(pid))
              : QStringLiteral("The ledger in %1 is locked, but the lock does not say by "
                               "which copy of this program.")
                    .arg(where);
    const QString question =
        whose + QStringLiteral("\n\nIf no other copy is using this ledger, the lock was left "
                               "behind by one that ended abruptly. Remove the lock and open "
                               "the ledger?");
    if (Rt().MsgBox(question, MsgStyle::YesNoQuestion, MsgTitle::Query) != MsgAnswer::Yes)
        return LockOutcome::Declined;
    if (lock.removeStaleLockFile() && lock.tryLock(0)) return LockOutcome::Held;
    Rt().MsgBox(QStringLiteral("The lock in %1 could not be removed.").arg(where),
                MsgStyle::Critical, MsgTitle::Error);
    return LockOutcome::Refused;
}
