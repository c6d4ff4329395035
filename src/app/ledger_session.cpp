#include "app/ledger_session.h"

#include "gui/exit_sequence.h"
#include "gui/form3.h"
#include "gui/messages.h"
#include "gui/runtime.h"

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

LedgerSession::LedgerSession(LedgerStore& store) : store(store) {
    connect(&form2, &Form2::BookingRequested, this, &LedgerSession::Book);
    connect(&form2, &Form2::CloseRequested, this, &LedgerSession::Form_Unload);
    connect(&form2, &Form2::SaveUcTxt_Chosen, this, &LedgerSession::SaveUcTxt_Click);
    connect(&form2, &Form2::ExitNoEc_Chosen, this, &LedgerSession::ExitNoEc_Click);
    connect(&form2, &Form2::ChaPass_Chosen, this, &LedgerSession::ChaPass_Click);
}

Run LedgerSession::Form_Load(const Pin& pin) {
    LedgerStore::Opened opened;
    {
        Hourglass wait;
        opened = store.Open(pin);
    }
    switch (opened.status) {
    case LedgerStore::Opened::Status::Unreadable:
        // Taking an unreadable file for a new ledger would overwrite the real one at close.
        return EndWith(Box::LedgerUnreadable(store.LedgerShown(), opened.error));
    case LedgerStore::Opened::Status::TooLong:
        return EndWith(Box::TooMuchText());
    case LedgerStore::Opened::Status::WrongPin:
        return EndWith(Box::WrongPin());
    case LedgerStore::Opened::Status::Opened:
        break;
    }
    form2.ShowLedger(store.Text());
    if (opened.otherNames) ShowBox(Box::LedgerHasOtherNames(store.LedgerShown()));
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
    using Status = LedgerStore::Saved::Status;
    LedgerStore::Saved saved = SaveWaiting(LedgerStore::IfChanged::Keep);
    if (saved.status == Status::Changed || saved.status == Status::Unchecked) {
        const BoxMessage question = saved.status == Status::Changed
                                        ? Box::LedgerChanged(store.LedgerShown())
                                        : Box::LedgerUncheckable(store.LedgerShown(), saved.error);
        // No keeps the window: a plain copy can be saved, a later close asks again.
        if (ShowBox(question) != MsgAnswer::Yes) return Run::Going;
        saved = SaveWaiting(LedgerStore::IfChanged::Replace);
    }
    switch (saved.status) {
    case Status::NothingToSave:
        return EndRun();
    case Status::Written:
        break;
    case Status::Changed:
    case Status::Unchecked:
    case Status::Kept:
    case Status::KeptUnchecked:
    case Status::KeptUnwritten:
    case Status::Failed:
        // Nothing is lost: the window stays with the plain ledger.
        ShowBox(Box::LedgerNotSaved(store.LedgerShown(), saved.error));
        return Run::Going;
    }
    if (saved.notDurable) ShowBox(Box::LedgerNotDurable(store.LedgerShown(), *saved.notDurable));
    if (!saved.otherKept.isEmpty())
        ShowBox(Box::OtherLedgerKept(store.LedgerShown(), saved.otherKept, saved.error));
    form2.ShowLedger(saved.enciphered); // the enciphered ledger shows while it goes
    return EndRun();
}

Run LedgerSession::SaveUcTxt_Click() {
    const FileWrite saved = store.SavePlainCopy();
    if (!saved.InPlace()) {
        ShowBox(Box::PlainCopyNotSaved(store.PlainCopyShown(), saved.error));
        return Run::Going;
    }
    if (ShowBox(Box::PlainCopySaved()) == MsgAnswer::Yes) return EndRun();
    return Run::Going;
}

Run LedgerSession::ExitNoEc_Click() {
    return EndRun();
}

void LedgerSession::ChaPass_Click() {
    auto* form3 = new Form3([this](const QString& old) { return store.IsOldPin(old); });
    connect(form3, &Form3::NewPinChosen, this,
            [this](const Pin& chosen) { store.ChangePin(chosen); });
    connect(form3, &Form3::Closing, &form2, &Form2::show);
    form2.hide();
    form3->show();
}

Run LedgerSession::EndWith(const BoxMessage& box) {
    ShowBox(box);
    return EndRun();
}

Run LedgerSession::EndRun() {
    store.Close();
    return ShrinkAndEnd(form2);
}
