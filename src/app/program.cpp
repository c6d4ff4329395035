#include "app/program.h"

#include "gui/messages.h"

Program::Program(LedgerFiles& files) : files(files) {
    connect(&form1, &Form1::PinAccepted, this, &Program::OpenLedgerWindow);
}

void Program::Show() {
    // Told at every start while they are there, so that no kept ledger is forgotten.
    const QList<KeptFile> kept = files.KeptFiles();
    if (!kept.isEmpty()) ShowBox(Box::KeptLedgers(kept));
    form1.show();
}

void Program::OpenLedgerWindow(const Pin& pin) {
    if (!session) {
        session = std::make_unique<LedgerSession>(pin, files);
        if (session->Form_Load() == Run::Ended) return;
    }
    form1.hide();
    session->Show();
}

void Program::SaveQuietly() {
    if (session) session->SaveQuietly();
}
