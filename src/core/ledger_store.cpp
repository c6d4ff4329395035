#include "core/ledger_store.h"

#include "core/ledger_file_format.h"

LedgerStore::LedgerStore(LedgerFiles& files) : files(files) {}

LedgerStore::Opened LedgerStore::Open(const Pin& typed) {
    const FileRead file = files.LoadLedgerFile();
    if (file.status == FileRead::Status::Unreadable)
        return {.status = Opened::Status::Unreadable, .error = file.error};
    DecodedLedger decoded = DecodeLedgerFile(cipher, typed, file.bytes);
    switch (decoded.status) {
    case DecodedLedger::Status::TooLong:
        return {.status = Opened::Status::TooLong};
    case DecodedLedger::Status::WrongPin:
        return {.status = Opened::Status::WrongPin};
    case DecodedLedger::Status::Ledger:
        break;
    }
    pin = typed;
    ledger.SetText(std::move(decoded.ledger));
    open = true;
    return {.otherNames = file.names > 1};
}

BookingOutcome LedgerStore::Book(Booking kind, const QString& amountText,
                                 const std::function<QDate()>& today) {
    return ledger.Book(kind, amountText, today);
}

LedgerStore::Saved LedgerStore::Save(IfChanged ifChanged) {
    if (!open || ledger.Text().isEmpty()) return {.nothingToSave = true};
    Saved saved{.bytes = EncodeLedgerFile(cipher, *pin, ledger.Text())};
    saved.written = ifChanged == IfChanged::Replace ? files.ReplaceLedgerFile(saved.bytes)
                                                    : files.SaveLedgerFile(saved.bytes);
    // A quiet save keeps the run beside the ledger file whatever stopped it there.
    if (ifChanged == IfChanged::KeepBoth && !saved.written.InPlace()) {
        saved.keptBecause = saved.written;
        const KeptFile::Why why = saved.written.status == FileWrite::Status::Changed ? KeptFile::Why::Changed
                                  : saved.written.status == FileWrite::Status::Unchecked
                                      ? KeptFile::Why::Unchecked
                                      : KeptFile::Why::Unwritten;
        saved.written = files.SaveLedgerBeside(saved.bytes, why, &saved.keptAt);
    }
    return saved;
}

SaveResult LedgerStore::SavePlainCopy() {
    return files.SavePlainCopy(EncodePlainCopy(ledger.Text()));
}
