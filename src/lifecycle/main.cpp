#include "form1.h"
#include "ledger_lock.h"
#include "ledger_session.h"
#include "look.h"
#include "process_guard.h"
#include "qt_runtime.h"
#include "runtime.h"
#include "termination.h"

#include <QApplication>
#include <QLockFile>

int main(int argc, char** argv) {
    GuardProcess();
    InstallFontSubstitutes();
    QApplication app(argc, argv);
    QtRuntime runtime;
    SetRuntime(&runtime);

    QLockFile lock(LedgerLockPath(runtime.AppPath()));
    switch (TakeLedgerLock(lock, runtime.AppPath())) {
    case LockOutcome::Refused:
        return 1;
    case LockOutcome::Declined:
        return 0;
    case LockOutcome::Held:
    case LockOutcome::Unlocked:
        break;
    }
    const auto release = [&lock] { lock.unlock(); };
    runtime.SetEndHook(release);

    Form1 form;
    const auto saveQuietly = [&form] {
        if (LedgerSession* session = form.Session()) session->SaveQuietly();
    };
    WatchForEndings({saveQuietly, release});
    form.show();
    app.exec();
    saveQuietly(); // the event loop ended, and not by a way out the user chose
    runtime.End();
}
