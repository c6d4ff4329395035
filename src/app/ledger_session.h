// The ledger window's run: the open sequence that unlocks the ledger, the close sequence that
// saves it, the bookings and the File menu's commands, between the store and the window.
#pragma once

#include "core/ledger_store.h"
#include "core/pin.h"
#include "gui/exit_sequence.h"
#include "gui/form2.h"

#include <QObject>

struct BoxMessage;

class LedgerSession : public QObject {
    Q_OBJECT
  public:
    // store: the run's ledger, not yet opened.
    explicit LedgerSession(LedgerStore& store);

    // The open sequence under the PIN typed at start-up; Ended when the run ended in it
    // (wrong PIN, unreadable file).
    Run Form_Load(const Pin& pin);
    // Shows the ledger window once the open sequence is through.
    void Show();

  private:
    LedgerStore::Saved SaveWaiting(LedgerStore::IfChanged ifChanged);
    void Book(Booking kind, const QString& amount);
    // The close sequence, on the ledger window's close box. A ledger file changed behind
    // the program's back is replaced only when the user says so.
    Run Form_Unload();
    Run SaveUcTxt_Click();
    Run ExitNoEc_Click();
    void ChaPass_Click();

    Run EndWith(const BoxMessage& box);
    Run EndRun();

    LedgerStore& store;
    Form2 form2;
};
