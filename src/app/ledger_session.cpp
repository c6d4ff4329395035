#include "app/ledger_session.h"

#include "app/standard_error.h"
#include "core/ledger_file_format.h"
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
    : startupPin(startupPin), files(files), store(files) {
    connect(&form2, &Form2::BookingRequested, this, &LedgerSession::Book);
    connect(&form2, &Form2::CloseRequested, this, &LedgerSession::Form_Unload);
    connect(&form2, &Form2::SaveUcTxt_Chosen, this, &LedgerSession::SaveUcTxt_Click);
    connect(&form2, &Form2::ExitNoEc_Chosen, this, &LedgerSession::ExitNoEc_Click);
    connect(&form2, &Form2::ChaPass_Chosen, this, &LedgerSession::ChaPass_Click);
}

Run LedgerSession::Form_Load() {
    LedgerStore::Opened opened;
    {
        Hourglass wait;
        opened = store.Open(startupPin);
    }
    switch (opened.status) {
    case LedgerStore::Opened::Status::Unreadable:
        // Taking an unreadable file for a new ledger would overwrite the real one at close.
        return EndWith(Box::LedgerUnreadable(files.LedgerShown(), opened.error));
    case LedgerStore::Opened::Status::TooLong:
        return EndWith(Box::TooMuchText());
    case LedgerStore::Opened::Status::WrongPin:
        return EndWith(Box::WrongPin());
    case LedgerStore::Opened::Status::Opened:
        break;
    }
    form2.ShowLedger(store.Text());
    if (opened.otherNames) ShowBox(Box::LedgerHasOtherNames(files.LedgerShown()));
    return Run::Going;
}

void LedgerSession::Show() {
    form2.show();
}

void LedgerSession::Book(Booking kind, const QString& amount) {
    form2.ShowBooking(store.Book(kind, amount, Today));
}

LedgerStore::Saved LedgerSession::SaveWaiting(LedgerStore::IfChanged ifChanged) {
    Hourglass wait;
    return store.Save(ifChanged);
}

Run LedgerSession::Form_Unload() {
    LedgerStore::Saved saved = SaveWaiting(LedgerStore::IfChanged::Keep);
    const SaveResult found = saved.written;
    if (found.status == FileWrite::Status::Changed || found.status == FileWrite::Status::Unchecked) {
        const BoxMessage question = found.status == FileWrite::Status::Changed
                                        ? Box::LedgerChanged(files.LedgerShown())
                                        : Box::LedgerUncheckable(files.LedgerShown(), found.error);
        // No keeps the window: a plain copy can be saved, a later close asks again.
        if (ShowBox(question) != MsgAnswer::Yes) return Run::Going;
        saved = SaveWaiting(LedgerStore::IfChanged::Replace);
    }
    if (saved.nothingToSave) return EndRun();
    if (!saved.written.InPlace()) {
        // Nothing is lost: the window stays with the plain ledger.
        ShowBox(Box::LedgerNotSaved(files.LedgerShown(), saved.written.error));
        return Run::Going;
    }
    if (saved.written.status == FileWrite::Status::NotDurable)
        ShowBox(Box::LedgerNotDurable(files.LedgerShown(), saved.written.error));
    if (saved.written.status == FileWrite::Status::Displaced)
        ShowBox(Box::OtherLedgerKept(files.LedgerShown(), saved.written.kept, saved.written.error));
    form2.ShowLedger(EncipheredText(saved.bytes)); // the enciphered ledger shows while it goes
    return EndRun();
}

Run LedgerSession::SaveUcTxt_Click() {
    const SaveResult saved = store.SavePlainCopy();
    if (!saved.InPlace()) {
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
    connect(form3, &Form3::NewPinChosen, this, [this](const Pin& chosen) { store.ChangePin(chosen); });
    connect(form3, &Form3::Closing, &form2, &Form2::show);
    form2.hide();
    form3->show();
}

void LedgerSession::SaveQuietly() {
    const LedgerStore::Saved saved = store.Save(LedgerStore::IfChanged::KeepBoth);
    const auto tell = [](const QString& line) { std::fputs(qPrintable(line), stderr); };
    if (saved.written.InPlace() && !saved.keptAt.isEmpty())
        tell(saved.keptBecause.status == FileWrite::Status::Changed
                 ? StandardError::QuietSaveKept.arg(files.LedgerShown(), saved.keptAt)
                 : (saved.keptBecause.status == FileWrite::Status::Unchecked
                        ? StandardError::QuietSaveUnchecked
                        : StandardError::QuietSaveUnwritten)
                       .arg(files.LedgerShown(), saved.keptAt, Box::Why(saved.keptBecause.error)));
    if (saved.written.status == FileWrite::Status::Displaced)
        tell(StandardError::QuietSaveDisplaced.arg(files.LedgerShown(), saved.written.kept,
                                                   Box::Why(saved.written.error)));
    if (saved.written.status == FileWrite::Status::NotDurable)
        tell(StandardError::QuietSaveNotDurable.arg(Box::Why(saved.written.error)));
    else if (!saved.nothingToSave && !saved.written.InPlace())
        tell(StandardError::QuietSaveFailed.arg(Box::Why(saved.written.error)));
}

Run LedgerSession::EndWith(const BoxMessage& box) {
    ShowBox(box);
    return EndRun();
}

Run LedgerSession::EndRun() {
    store.Close();
    return ShrinkAndEnd(form2);
}
