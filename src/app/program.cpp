#include "app/program.h"

Program::Program(LedgerFiles& files) : files(files) {
    connect(&form1, &Form1::PinAccepted, this, &Program::OpenLedgerWindow);
}

void Program::Show() {
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
