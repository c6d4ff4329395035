#include "app/ledger_lock.h"
#include "app/process_guard.h"
#include "app/program.h"
#include "app/run_end.h"
#include "core/ledger_store.h"
#include "core/process.h"
#include "gui/look.h"
#include "gui/messages.h"
#include "gui/qt_runtime.h"

#include <QApplication>

int main(int argc, char** argv) {
    GuardProcess();
    InstallWindowAccessibility();
    QApplication app(argc, argv);
    QtRuntime runtime;
    SetRuntime(&runtime);

    // Never the working folder or "/" in its place: the ledger lives beside the program.
    const std::optional<QByteArray> folder = ProgramFolder();
    if (!folder) {
        ShowBox(Box::ProgramFolderUnknown());
        return 1;
    }
    auto [files, why] = LedgerFiles::Open(*folder);
    if (!files) {
        ShowBox(Box::ProgramFolderUnopened(ShownPath(*folder), why));
        return 1;
    }
    LedgerStore store(std::move(files));
    switch (TakeLedgerLock(store).status) {
    case LockOutcome::Status::Held:
    case LockOutcome::Status::NotCreated:
        break;
    case LockOutcome::Status::Declined:
        return 0;
    default:
        return 1;
    }
    RunEnd end(store);
    end.Install();
    Program program(store);
    program.Show();
    app.exec();
    end.SaveAndEnd(); // the event loop ended, and not by a way out the user chose
}
