// One run of the program: the PIN window first, then the ledger window's session once a
// PIN has been accepted.
#pragma once

#include "app/ledger_session.h"
#include "gui/form1.h"

#include <QObject>
#include <memory>

class Program : public QObject {
    Q_OBJECT
  public:
    // store: the run's ledger, its files held and locked, not yet opened.
    explicit Program(LedgerStore& store);

    // Names the ledgers earlier runs kept beside the ledger file, then shows the PIN window.
    void Show();

  private:
    // The first use of the ledger window creates it and runs its open sequence; then the
    // PIN window goes and the ledger window shows.
    void OpenLedgerWindow(const Pin& pin);
    // The PIN window's close box: the run ends without a ledger opened.
    Run Form_Unload();

    LedgerStore& store;
    Form1 form1;
    std::unique_ptr<LedgerSession> session;
};
