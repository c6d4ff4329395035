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

LedgerSession::LedgerSession(const QString& startupPin, LedgerFiles& files)
    : startupPin(startupPin), files(files) {
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
    const LoadResult file = files.LoadLedgerFile();
    if (file.status == LoadResult::Status::Unreadable) {
        // Taking it for a new ledger would overwrite the real one at close.
        ShowBox(Box::LedgerUnreadable(files.LedgerShown(), file.error));
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

bool LedgerSession::HasLedgerToSave() const {
    return open && !form2.LedgerText().isEmpty() && IsFourDigitPin(form2.Pin());
}

LedgerSession::Saved LedgerSession::SaveLedger(IfChanged ifChanged) {
    if (!HasLedgerToSave()) return {.status = Saved::Status::NothingToSave};
    QString text = UnlockMarker + form2.LedgerText();
    if (const CipherResult result = cipher.SetRotorsFromPin(form2.Pin(), text);
        result != CipherResult::Transformed)
        return {.status = Saved::Status::CipherRefused, .cipher = result};
    QString keptAt;
    const SaveResult written = ifChanged == IfChanged::KeepBoth && files.LedgerFileChanged()
                                   ? files.SaveLedgerBeside(ToWin1252(text), &keptAt)
                                   : files.SaveLedgerFile(ToWin1252(text));
    if (!written.ok)
        return {.status = Saved::Status::WriteFailed, .error = written.error};
    return {.status = Saved::Status::Saved, .enciphered = text, .keptAt = keptAt};
}

void LedgerSession::Form_Unload() {
    if (HasLedgerToSave() && files.LedgerFileChanged() &&
        ShowBox(Box::LedgerChanged(files.LedgerShown())) != MsgAnswer::Yes)
        return; // the window stays: a plain copy can be saved, a later close asks again
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
        ShowBox(Box::LedgerNotSaved(files.LedgerShown(), saved.error));
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
    const SaveResult saved = files.SavePlainCopy(ToWin1252(form2.LedgerText()));
    if (!saved.ok) {
        ShowBox(Box::PlainCopyNotSaved(files.PlainCopyShown(), saved.error));
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
    const Saved saved = SaveLedger(IfChanged::KeepBoth);
    if (!saved.keptAt.isEmpty())
        std::fputs(qPrintable(Texts::QuietSaveKept.arg(files.LedgerShown(), saved.keptAt)), stderr);
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
