#include "app/ledger_lock.h"
#include "app/process_guard.h"
#include "app/program.h"
#include "app/termination.h"
#include "core/ledger_files.h"
#include "gui/look.h"
#include "gui/qt_runtime.h"

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

    Program program;
    WatchForEndings({[&program] { program.SaveQuietly(); }, release});
    program.Show();
    app.exec();
    program.SaveQuietly(); // the event loop ended, and not by a way out the user chose
    runtime.End();
}
