// The ledger window's run: the open sequence that turns the ledger file into the plain
// ledger, the close sequence that enciphers and saves it, and the File menu's commands.
#pragma once

#include "core/cipher.h"
#include "core/ledger_files.h"
#include "core/pin.h"
#include "gui/exit_sequence.h"
#include "gui/form2.h"

#include <QObject>

struct BoxMessage;

class LedgerSession : public QObject {
    Q_OBJECT
  public:
    // startupPin is the PIN typed at start-up: it deciphers the ledger, is the one the
    // Change PIN window checks the old PIN against, and saves it until a new one is chosen.
    // files: the program's folder, held for the run.
    LedgerSession(const Pin& startupPin, LedgerFiles& files);

    // The open sequence; Ended when the run ended in it (wrong PIN, unreadable file).
    Run Form_Load();
    // Shows the ledger window once the open sequence is through.
    void Show();

    // For every ending the user did not choose, and a session checkpoint: saves a ledger
    // that is open and not empty, without animation, boxes or the mouse pointer. The run
    // stays as it was; a failure is told on the standard error. A ledger file changed
    // behind the program's back is kept, and this run's ledger saved beside it.
    void SaveQuietly();

  private:
    // What became of an attempt to save the ledger.
    struct Saved {
        bool nothingToSave = false;
        SaveResult written{};
        QString enciphered{}; // what was written
        QString keptAt{};     // where it was written instead, when the ledger file had changed
        SaveResult keptBecause{}; // what the ledger file was found to be, when keptAt
    };
    // What to do when the ledger file is not the one read or last saved.
    enum class IfChanged { Keep, Replace, KeepBoth };
    // The one way the ledger is saved: when it is open and not empty, enciphers it under the
    // PIN it is held under and writes the ledger file.
    Saved SaveLedger(IfChanged ifChanged);
    Saved SaveLedgerWaiting(IfChanged ifChanged);

    Run UnlockLedger();
    // The close sequence, on the ledger window's close box. A ledger file changed behind
    // the program's back is replaced only when the user says so.
    Run Form_Unload();
    Run SaveUcTxt_Click();
    Run ExitNoEc_Click();
    void ChaPass_Click();

    bool HasLedgerToSave() const;
    Run EndWith(const BoxMessage& box);
    Run EndRun();

    const Pin startupPin;
    Pin pin; // the PIN the ledger is saved under: the start-up one until Change PIN applies
    LedgerFiles& files;
    Cipher cipher; // the window's cipher state; tables built first, as the window loads
    Form2 form2;
    // True from a successful unlock until the user picks a way out.
    bool open = false;
};
