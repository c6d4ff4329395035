#include "ledger_session.h"

#include "change_pin_window.h"
#include "cipher_messages.h"
#include "exit_sequence.h"
#include "ledger_files.h"
#include "runtime.h"
#include "unlock_check.h"
#include "win1252.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdio>

namespace {
void ShowError(const QString& prompt) {
    Rt().MsgBox(prompt, MsgStyle::Critical, MsgTitle::Error);
}

// The hourglass while the user waits on the transform at open and close; never for a quiet
// save, which may run when the display is gone.
class Hourglass {
  public:
    Hourglass() { Rt().SetMousePointer(MousePointer::Hourglass); }
    ~Hourglass() { Rt().SetMousePointer(MousePointer::Default); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};
} // namespace

LedgerSession::LedgerSession(const QLineEdit& startupPin) : startupPin(startupPin) {
    connect(&form2, &Form2::closeRequested, this, &LedgerSession::Form_Unload);
    connect(form2.SaveUcTxt, &QAction::triggered, this, &LedgerSession::SaveUcTxt_Click);
    connect(form2.ExitNoEc, &QAction::triggered, this, &LedgerSession::ExitNoEc_Click);
    connect(form2.ChaPass, &QAction::triggered, this, &LedgerSession::ChaPass_Click);
}

bool LedgerSession::Form_Load() {
    form2.txtKey->setText(startupPin.text());
    return UnlockLedger();
}

bool LedgerSession::UnlockLedger() {
    const LoadResult file = LoadLedgerFile(Rt().AppPath(), Cipher::MaxTextLength);
    if (file.status == LoadResult::Status::Unreadable) {
        // Taking it for a new ledger would overwrite the real one at close.
        ShowError(QStringLiteral("The ledger file %1 cannot be read: %2.")
                      .arg(LedgerFilePath(Rt().AppPath()), file.error));
        ShrinkAndEnd(form2);
        return false;
    }
    QString text = FromWin1252(file.bytes);
    const CipherResult result = [&] {
        Hourglass wait;
        return cipher.SetRotorsFromPin(form2.txtKey->text(), text);
    }();
    if (const auto message = MessageFor(result)) {
        ShowBox(*message);
        ShrinkAndEnd(form2);
        return false;
    }
    if (CheckUnlockMarker(text) == UnlockResult::WrongPin) {
        ShowBox(WrongPinMessage());
        ShrinkAndEnd(form2);
        return false;
    }
    form2.SetLedgerText(text);
    open = true;
    return true;
}

std::optional<BoxMessage> LedgerSession::Encipher(QString& text) {
    text.prepend(UnlockMarker);
    return MessageFor(cipher.SetRotorsFromPin(form2.txtKey->text(), text));
}

QString LedgerSession::SaveLedger() {
    QString text = form2.LedgerText();
    if (const auto refusal = Encipher(text)) return refusal->prompt.trimmed();
    const SaveResult saved = SaveLedgerFile(Rt().AppPath(), ToWin1252(text));
    return saved.ok ? QString() : saved.error;
}

void LedgerSession::Form_Unload() {
    const QString plain = form2.LedgerText();
    if (plain.isEmpty() || form2.txtKey->text().size() != 4) {
        EndRun();
        return;
    }
    QString text = plain;
    std::optional<BoxMessage> refusal;
    {
        Hourglass wait;
        refusal = Encipher(text);
    }
    if (refusal) {
        // Nothing is saved and the window stays, so no booking is lost.
        ShowBox(*refusal);
        return;
    }
    form2.txtData->setPlainText(text); // the enciphered ledger shows while the window goes
    const SaveResult saved = SaveLedgerFile(Rt().AppPath(), ToWin1252(text));
    if (!saved.ok) {
        form2.SetLedgerText(plain);
        ShowError(QStringLiteral("The ledger could not be saved to %1: %2.\n\nYour bookings are "
                                 "still here. Save a plain copy, or close the window to try "
                                 "again.")
                      .arg(LedgerFilePath(Rt().AppPath()), saved.error));
        return;
    }
    EndRun();
}

void LedgerSession::SaveUcTxt_Click() {
    const SaveResult saved = SavePlainCopy(Rt().AppPath(), ToWin1252(form2.LedgerText()));
    if (!saved.ok) {
        ShowError(QStringLiteral("The plain copy could not be saved to %1: %2.")
                      .arg(PlainCopyPath(Rt().AppPath()), saved.error));
        return;
    }
    if (Rt().MsgBox(QStringLiteral("QcUcV3.1.Txt File Saved Do you wish to Exit  Yes No?"),
                    MsgStyle::YesNoQuestion, MsgTitle::Query) == MsgAnswer::Yes)
        EndRun();
}

void LedgerSession::ExitNoEc_Click() {
    EndRun();
}

void LedgerSession::ChaPass_Click() {
    form2.hide();
    (new Form3([this] { return startupPin.text(); }, form2.txtKey, &form2))->show();
}

void LedgerSession::SaveQuietly() {
    if (!open || form2.LedgerText().isEmpty() || form2.txtKey->text().size() != 4) return;
    const QString failure = SaveLedger();
    if (!failure.isEmpty())
        std::fprintf(stderr, "quillcount: the ledger was not saved: %s\n", qPrintable(failure));
}

void LedgerSession::EndRun() {
    open = false;
    ShrinkAndEnd(form2);
}
