#include "form1.h"
#include "ledger_session.h"
#include "look.h"
#include "qt_runtime.h"
#include "runtime.h"
#include "termination.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>

int main(int argc, char** argv) {
    InstallFontSubstitutes();
    QApplication app(argc, argv);
    QtRuntime runtime;
    SetRuntime(&runtime);

    // Two copies on one folder would each save over the other's bookings.
    QLockFile lock(QDir(runtime.AppPath()).filePath(QStringLiteral("QcEcV3.1.Txt.lock")));
    lock.setStaleLockTime(0); // a lock is stale only when its process is gone
    if (!lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        runtime.MsgBox(QStringLiteral("The ledger in %1 is already open in another copy of "
                                      "this program.")
                           .arg(QDir::toNativeSeparators(runtime.AppPath())),
                       MsgStyle::Critical, MsgTitle::Error);
        return 1;
    }
    // Any other failure (a folder we cannot write) leaves the program running unlocked.
    runtime.SetEndHook([&lock] { lock.unlock(); });

    Form1 form;
    WatchForTermination([&form] {
        if (LedgerSession* session = form.Session())
            session->SaveAndEndQuietly();
        else
            Rt().End();
    });
    form.show();
    return app.exec();
}
