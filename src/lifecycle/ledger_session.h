// The ledger window's run: the open sequence that turns the ledger file into the plain
// ledger, the close sequence that enciphers and saves it, and the File menu's commands.
#pragma once

#include "cipher.h"
#include "cipher_messages.h"
#include "form2.h"

#include <QObject>
#include <optional>

class QLineEdit;

class LedgerSession : public QObject {
    Q_OBJECT
  public:
    // startupPin is the PIN entry field: the PIN typed at start-up, for the open sequence
    // and for the Change PIN window's check of the old PIN.
    explicit LedgerSession(const QLineEdit& startupPin);

    Form2& Window() { return form2; }

    // The open sequence. False when the run ended in it (wrong PIN, unreadable file).
    bool Form_Load();
    bool UnlockLedger();

    // The close sequence, on the ledger window's close box.
    void Form_Unload();

    void SaveUcTxt_Click();
    void ExitNoEc_Click();
    void ChaPass_Click();

    // Enciphers the ledger under the PIN held and writes the ledger file. Empty when it
    // was saved; otherwise why not (nothing was then written).
    QString SaveLedger();

    // For every ending the user did not choose, and a session checkpoint: saves a ledger
    // that is open and not empty, without animation, boxes or the mouse pointer. The run
    // stays as it was; a failure is told on the standard error.
    void SaveQuietly();

  private:
    // Puts the unlock marker in front of text and enciphers it under the PIN held; the
    // refusal to show when the cipher does not take the PIN or the text.
    std::optional<BoxMessage> Encipher(QString& text);
    void EndRun();

    const QLineEdit& startupPin;
    Cipher cipher; // the window's cipher state; tables built first, as the window loads
    Form2 form2;
    // True from a successful unlock until the user picks a way out.
    bool open = false;
};
