#include "core/ledger_store.h"

#include "core/ledger_file_format.h"

namespace {
// A file whole at its name, and why it may not survive a power cut when it may not.
LedgerStore::Saved InPlace(LedgerStore::Saved::Status status, const FileWrite& written) {
    LedgerStore::Saved saved{.status = status};
    if (written.status == FileWrite::Status::NotDurable) saved.notDurable = written.error;
    return saved;
}
} // namespace

LedgerStore::LedgerStore(std::unique_ptr<LedgerFiles> files) : files(std::move(files)) {}

LockOutcome LedgerStore::TakeLock() {
    const LockOutcome lock = files->TakeLock();
    if (lock.status == LockOutcome::Status::Held) files->RemoveStaleTemporaries();
    return lock;
}

void LedgerStore::TakeOverLock() {
    files->TakeOverLock();
    files->RemoveStaleTemporaries();
}

LedgerStore::Opened LedgerStore::Open(const Pin& typed) {
    const FileRead file = files->LoadLedgerFile();
    if (file.status == FileRead::Status::Unreadable)
        return {.status = Opened::Status::Unreadable, .error = file.error};
    if (!cipher) cipher.emplace();
    DecodedLedger decoded = DecodeLedgerFile(*cipher, typed, file.bytes);
    switch (decoded.status) {
    case DecodedLedger::Status::TooLong:
        return {.status = Opened::Status::TooLong};
    case DecodedLedger::Status::WrongPin:
        return {.status = Opened::Status::WrongPin};
    case DecodedLedger::Status::Ledger:
        break;
    }
    openedWith = pin = typed;
    ledger.SetText(std::move(decoded.ledger));
    open = true;
    return {.otherNames = file.names > 1};
}

BookingOutcome LedgerStore::Book(Booking kind, const QString& amountText,
                                 const std::function<QDate()>& today) {
    return ledger.Book(kind, amountText, today);
}

bool LedgerStore::IsOldPin(const QString& old) const {
    return openedWith && Pin::FromText(old) == openedWith;
}

LedgerStore::Saved LedgerStore::Save(IfChanged ifChanged) {
    using Status = Saved::Status;
    if (!open || ledger.Text().isEmpty()) return {};
    const QByteArray bytes = EncodeLedgerFile(*cipher, *pin, ledger.Text());
    const FileWrite written = ifChanged == IfChanged::Replace ? files->ReplaceLedgerFile(bytes)
                                                              : files->SaveLedgerFile(bytes);
    if (written.InPlace()) {
        Saved saved = InPlace(Status::Written, written);
        saved.enciphered = EncipheredText(bytes);
        if (written.status == FileWrite::Status::Displaced) {
            saved.error = written.error;
            saved.otherKept = written.kept;
        }
        return saved;
    }
    const bool changed = written.status == FileWrite::Status::Changed;
    const bool unchecked = written.status == FileWrite::Status::Unchecked;
    if (ifChanged != IfChanged::KeepBoth) {
        if (!changed && !unchecked) return {.status = Status::Failed, .error = written.error};
        return {.status = changed ? Status::Changed : Status::Unchecked, .error = written.error};
    }
    // A quiet save keeps the run beside the ledger file whatever stopped it there.
    const FileWrite kept = files->SaveLedgerBeside(bytes, changed     ? KeptFile::Why::Changed
                                                          : unchecked ? KeptFile::Why::Unchecked
                                                                      : KeptFile::Why::Unwritten);
    if (!kept.InPlace())
        return {.status = Status::Failed,
                .error = changed || unchecked ? kept.error : written.error};
    Saved saved = InPlace(changed     ? Status::Kept
                          : unchecked ? Status::KeptUnchecked
                                      : Status::KeptUnwritten,
                          kept);
    saved.error = written.error;
    saved.keptAt = kept.kept;
    return saved;
}

FileWrite LedgerStore::SavePlainCopy() {
    return files->SavePlainCopy(EncodePlainCopy(ledger.Text()));
}

void LedgerStore::Close() {
    open = false;
    files->ReleaseLock();
}
