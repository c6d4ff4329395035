#include "app/ledger_session.h"

#include "core/ledger_file_format.h"
#include "core/pin.h"
#include "core/unlock_check.h"
#include "core/win1252.h"
#include "gui/exit_sequence.h"
#include "gui/form3.h"
#include "gui/messages.h"
#include "gui/runtime.h"

#include <cstdio>

namespace {
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

LedgerSession::LedgerSession(const QString& startupPin) : startupPin(startupPin) {
    connect(&form2, &Form2::closeRequested, this, &LedgerSession::Form_Unload);
    connect(&form2, &Form2::SaveUcTxt_Chosen, this, &LedgerSession::SaveUcTxt_Click);
    connect(&form2, &Form2::ExitNoEc_Chosen, this, &LedgerSession::ExitNoEc_Click);
    connect(&form2, &Form2::ChaPass_Chosen, this, &LedgerSession::ChaPass_Click);
}

LedgerSession::Run LedgerSession::Form_Load() {
    form2.SetPin(startupPin);
    return UnlockLedger();
}

LedgerSession::Run LedgerSession::UnlockLedger() {
    const LoadResult file = LoadLedgerFile(Rt().AppPath());
    if (file.status == LoadResult::Status::Unreadable) {
        // Taking it for a new ledger would overwrite the real one at close.
        ShowBox(Box::LedgerUnreadable(LedgerFilePath(Rt().AppPath()), file.error));
        ShrinkAndEnd(form2);
        return Run::Ended;
    }
    QString text = FromWin1252(file.bytes);
    CipherResult result;
    {
        Hourglass wait;
        result = cipher.SetRotorsFromPin(form2.Pin(), text);
    }
    if (result != CipherResult::Transformed) {
        ShowBox(Box::ForCipher(result));
        ShrinkAndEnd(form2);
        return Run::Ended;
    }
    if (CheckUnlockMarker(text) == UnlockResult::WrongPin) {
        ShowBox(Box::WrongPin());
        ShrinkAndEnd(form2);
        return Run::Ended;
    }
    form2.SetLedgerText(text);
    open = true;
    return Run::Going;
}

void LedgerSession::Show() {
    form2.show();
}

LedgerSession::Saved LedgerSession::SaveLedger() {
    const QString& plain = form2.LedgerText();
    if (!open || plain.isEmpty() || !IsFourDigitPin(form2.Pin()))
        return {Saved::Status::NothingToSave, CipherResult::Transformed, {}, {}};
    QString text = UnlockMarker + plain;
    if (const CipherResult result = cipher.SetRotorsFromPin(form2.Pin(), text);
        result != CipherResult::Transformed)
        return {Saved::Status::CipherRefused, result, {}, {}};
    const SaveResult written = SaveLedgerFile(Rt().AppPath(), ToWin1252(text));
    if (!written.ok)
        return {Saved::Status::WriteFailed, CipherResult::Transformed, written.error, {}};
    return {Saved::Status::Saved, CipherResult::Transformed, {}, text};
}

void LedgerSession::Form_Unload() {
    Saved saved;
    {
        Hourglass wait;
        saved = SaveLedger();
    }
    switch (saved.status) {
    case Saved::Status::CipherRefused:
        // Nothing is saved and the window stays, so no booking is lost.
        ShowBox(Box::ForCipher(saved.cipher));
        return;
    case Saved::Status::WriteFailed:
        ShowBox(Box::LedgerNotSaved(LedgerFilePath(Rt().AppPath()), saved.error));
        return;
    case Saved::Status::Saved:
        form2.ShowEnciphered(saved.enciphered); // the enciphered ledger shows while it goes
        break;
    case Saved::Status::NothingToSave:
        break;
    }
    EndRun();
}

void LedgerSession::SaveUcTxt_Click() {
    const SaveResult saved = SavePlainCopy(Rt().AppPath(), ToWin1252(form2.LedgerText()));
    if (!saved.ok) {
        ShowBox(Box::PlainCopyNotSaved(PlainCopyPath(Rt().AppPath()), saved.error));
        return;
    }
    if (ShowBox(Box::PlainCopySaved()) == MsgAnswer::Yes) EndRun();
}

void LedgerSession::ExitNoEc_Click() {
    EndRun();
}

void LedgerSession::ChaPass_Click() {
    form2.hide();
    auto* form3 = new Form3(startupPin);
    connect(form3, &Form3::NewPinChosen, &form2, &Form2::SetPin);
    connect(form3, &Form3::Closing, &form2, &Form2::show);
    form3->show();
}

void LedgerSession::SaveQuietly() {
    const Saved saved = SaveLedger();
    if (saved.status == Saved::Status::WriteFailed)
        std::fputs(qPrintable(Texts::QuietSaveFailed.arg(Box::Why(saved.error))), stderr);
    if (saved.status == Saved::Status::CipherRefused)
        std::fputs(qPrintable(Texts::QuietSaveFailed.arg(Box::ForCipher(saved.cipher).prompt)),
                   stderr);
}

void LedgerSession::EndRun() {
    open = false;
    ShrinkAndEnd(form2);
}
