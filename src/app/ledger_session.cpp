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

LedgerSession::LedgerSession(const Pin& startupPin, LedgerFiles& files)
    : startupPin(startupPin), pin(startupPin), files(files) {
    connect(&form2, &Form2::CloseRequested, this, &LedgerSession::Form_Unload);
    connect(&form2, &Form2::SaveUcTxt_Chosen, this, &LedgerSession::SaveUcTxt_Click);
    connect(&form2, &Form2::ExitNoEc_Chosen, this, &LedgerSession::ExitNoEc_Click);
    connect(&form2, &Form2::ChaPass_Chosen, this, &LedgerSession::ChaPass_Click);
}

Run LedgerSession::Form_Load() {
    return UnlockLedger();
}

Run LedgerSession::UnlockLedger() {
    const LoadResult file = files.LoadLedgerFile();
    // Taking an unreadable file for a new ledger would overwrite the real one at close.
    if (file.status == LoadResult::Status::Unreadable)
        return EndWith(Box::LedgerUnreadable(files.LedgerShown(), file.error));
    QString text = FromWin1252(file.bytes);
    CipherResult result;
    {
        Hourglass wait;
        result = cipher.SetRotorsFromPin(pin, text);
    }
    if (result != CipherResult::Transformed) return EndWith(Box::TooMuchText());
    if (CheckUnlockMarker(text) == UnlockResult::WrongPin) return EndWith(Box::WrongPin());
    form2.SetLedgerText(text);
    open = true;
    return Run::Going;
}

void LedgerSession::Show() {
    form2.show();
}

bool LedgerSession::HasLedgerToSave() const {
    return open && !form2.LedgerText().isEmpty();
}

LedgerSession::Saved LedgerSession::SaveLedger(IfChanged ifChanged) {
    if (!HasLedgerToSave()) return {.status = Saved::Status::NothingToSave};
    QString text = UnlockMarker + form2.LedgerText();
    // A ledger is never longer than the transform takes with its marker, so it always
    // enciphers.
    static_assert(MaxLedgerLength + 1 <= Cipher::MaxTextLength);
    cipher.SetRotorsFromPin(pin, text);
    QString keptAt;
    const SaveResult written = ifChanged == IfChanged::KeepBoth && files.LedgerFileChanged()
                                   ? files.SaveLedgerBeside(ToWin1252(text), &keptAt)
                                   : files.SaveLedgerFile(ToWin1252(text));
    if (!written.ok) return {.status = Saved::Status::WriteFailed, .error = written.error};
    return {.status = Saved::Status::Saved, .enciphered = text, .keptAt = keptAt};
}

Run LedgerSession::Form_Unload() {
    if (HasLedgerToSave() && files.LedgerFileChanged() &&
        ShowBox(Box::LedgerChanged(files.LedgerShown())) != MsgAnswer::Yes)
        return Run::Going; // the window stays: a plain copy can be saved, a later close asks again
    Saved saved;
    {
        Hourglass wait;
        saved = SaveLedger(IfChanged::Replace);
    }
    switch (saved.status) {
    case Saved::Status::WriteFailed:
        // Nothing is lost: the window stays with the plain ledger.
        ShowBox(Box::LedgerNotSaved(files.LedgerShown(), saved.error));
        return Run::Going;
    case Saved::Status::Saved:
        form2.ShowEnciphered(saved.enciphered); // the enciphered ledger shows while it goes
        break;
    case Saved::Status::NothingToSave:
        break;
    }
    return EndRun();
}

Run LedgerSession::SaveUcTxt_Click() {
    const SaveResult saved = files.SavePlainCopy(ToWin1252(form2.LedgerText()));
    if (!saved.ok) {
        ShowBox(Box::PlainCopyNotSaved(files.PlainCopyShown(), saved.error));
        return Run::Going;
    }
    if (ShowBox(Box::PlainCopySaved()) == MsgAnswer::Yes) return EndRun();
    return Run::Going;
}

Run LedgerSession::ExitNoEc_Click() {
    return EndRun();
}

void LedgerSession::ChaPass_Click() {
    auto* form3 = new Form3(startupPin);
    connect(form3, &Form3::NewPinChosen, this, [this](const Pin& chosen) { pin = chosen; });
    connect(form3, &Form3::Closing, &form2, &Form2::show);
    form2.hide();
    form3->show();
}

void LedgerSession::SaveQuietly() {
    const Saved saved = SaveLedger(IfChanged::KeepBoth);
    if (!saved.keptAt.isEmpty())
        std::fputs(qPrintable(Texts::QuietSaveKept.arg(files.LedgerShown(), saved.keptAt)), stderr);
    if (saved.status == Saved::Status::WriteFailed)
        std::fputs(qPrintable(Texts::QuietSaveFailed.arg(Box::Why(saved.error))), stderr);
}

Run LedgerSession::EndWith(const BoxMessage& box) {
    ShowBox(box);
    return EndRun();
}

Run LedgerSession::EndRun() {
    open = false;
    return ShrinkAndEnd(form2);
}
