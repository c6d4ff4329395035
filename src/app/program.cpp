#include "app/program.h"

#include "gui/messages.h"

Program::Program(LedgerStore& store) : store(store) {
    connect(&form1, &Form1::PinAccepted, this, &Program::OpenLedgerWindow);
    connect(&form1, &Form1::CloseRequested, this, &Program::Form_Unload);
}

void Program::Show() {
    // Told at every start while they are there, so that no kept ledger is forgotten.
    const QList<KeptFile> kept = store.KeptFiles();
    if (!kept.isEmpty()) ShowBox(Box::KeptLedgers(kept));
    form1.show();
}

void Program::OpenLedgerWindow(const Pin& pin) {
    if (!session) {
        session = std::make_unique<LedgerSession>(store);
        if (session->Form_Load(pin) == Run::Ended) return;
    }
    form1.hide();
    session->Show();
}

Run Program::Form_Unload() {
    store.Close();
    return ShrinkAndEnd(form1);
}
