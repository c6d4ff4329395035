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
    // startupPin is the PIN typed at start-up: it opens the ledger, is the one the Change PIN
    // window checks the old PIN against, and saves it until a new one is chosen.
    // files: the program's folder, held for the run.
    LedgerSession(const Pin& startupPin, LedgerFiles& files);

    // The open sequence; Ended when the run ended in it (wrong PIN, unreadable file).
    Run Form_Load();
    // Shows the ledger window once the open sequence is through.
    void Show();

    // For every ending the user did not choose, and a session checkpoint: saves a ledger
    // that is open and not empty, without animation, boxes or any window. The run stays as it
    // was; a failure is told on the standard error. A ledger file changed behind the
    // program's back is kept, and this run's ledger saved beside it.
    void SaveQuietly();

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

    const Pin startupPin;
    LedgerFiles& files;
    LedgerStore store;
    Form2 form2;
};
