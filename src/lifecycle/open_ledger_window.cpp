#include "form1.h"
#include "key_filter.h"
#include "ledger_session.h"

#include <QLineEdit>

Form1::~Form1() = default;

void Form1::OpenLedgerWindow() {
    if (!session) {
        session = std::make_unique<LedgerSession>(*txtKey);
        if (!session->Form_Load()) return; // the run ended in the open sequence
    }
    session->Window().txtKey->setText(txtKey->text());
    hide();
    session->Window().show();
}
