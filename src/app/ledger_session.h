// The ledger window's run: the open sequence that turns the ledger file into the plain
// ledger, the close sequence that enciphers and saves it, and the File menu's commands.
#pragma once

#include "core/cipher.h"
#include "core/ledger_files.h"
#include "gui/form2.h"

#include <QObject>

class LedgerSession : public QObject {
    Q_OBJECT
  public:
    // startupPin is the PIN typed at start-up, for the open sequence and for the Change PIN
    // window's check of the old PIN.
    // files: the program's folder, held for the run.
    LedgerSession(const QString& startupPin, LedgerFiles& files);

    enum class Run { Going, Ended };

    // The open sequence; Ended when the run ended in it (wrong PIN, unreadable file).
    Run Form_Load();
    Run UnlockLedger();
    // Shows the ledger window once the open sequence is through.
    void Show();

    // The close sequence, on the ledger window's close box. A ledger file changed behind
    // the program's back is replaced only when the user says so.
    void Form_Unload();

    void SaveUcTxt_Click();
    void ExitNoEc_Click();
    void ChaPass_Click();

    // For every ending the user did not choose, and a session checkpoint: saves a ledger
    // that is open and not empty, without animation, boxes or the mouse pointer. The run
    // stays as it was; a failure is told on the standard error. A ledger file changed
    // behind the program's back is kept, and this run's ledger saved beside it.
    void SaveQuietly();

    // What became of an attempt to save the ledger.
    struct Saved {
        enum class Status { Saved, NothingToSave, CipherRefused, WriteFailed };
        Status status;
        CipherResult cipher = CipherResult::Transformed; // why, when CipherRefused
        FileError error{};                               // why, when WriteFailed
        QString enciphered{};                            // what was written, when Saved
        QString keptAt{}; // where it was written instead, when the ledger file had changed
    };
    // What to do when the ledger file is not the one read or last saved.
    enum class IfChanged { Replace, KeepBoth };
    // The one way the ledger is saved: when it is open, not empty and held under a PIN,
    // enciphers it under that PIN and writes the ledger file.
    Saved SaveLedger(IfChanged ifChanged = IfChanged::Replace);
    // True when a save now would write something.
    bool HasLedgerToSave() const;

  private:
    void EndRun();

    const QString startupPin;
    LedgerFiles& files;
    Cipher cipher; // the window's cipher state; tables built first, as the window loads
    Form2 form2;
    // True from a successful unlock until the user picks a way out.
    bool open = false;
};
