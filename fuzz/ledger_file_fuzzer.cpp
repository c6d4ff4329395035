// The ledger file as the program opens it: load, decipher, unlock check, then a booking on a
// ledger that opened, which must open again as booked. Input: the PIN as typed (four bytes), then
// the whole file.
#include "core/ledger.h"
#include "core/ledger_file_format.h"
#include "core/ledger_files.h"
#include "core/win1252.h"
#include "expect.h"
#include "support/file_helpers.h"
#include "support/ledger_builder.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {
QString folder; // the program's folder, holding the ledger file of the input at hand
// One for all inputs, as the program keeps one for its run: building the tables costs far
// more than an input, and setting the rotors from the PIN must leave nothing of the last.
Cipher* cipher;

void WriteLedgerFile(const QByteArray& bytes) {
    QFile file(LedgerFilePath(folder));
    // A new file each time: ext4 flushes a truncated one to disk on close, which is slow.
    file.remove();
    Expect(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
           "the fuzz folder takes the ledger file");
}

// The open sequence's reading of the file.
DecodedLedger Open(const Pin& pin) {
    const FileRead file = OpenFiles(folder)->LoadLedgerFile();
    Expect(file.status == FileRead::Status::Loaded, "a ledger file that is there loads");
    Expect(ToWin1252(FromWin1252(file.bytes)) == file.bytes,
           "every byte of the file survives as text");
    return DecodeLedgerFile(*cipher, pin, file.bytes);
}

// What the close sequence would save must open again under the same PIN as the same ledger.
void ExpectReopens(const Pin& pin, const QString& ledgerText) {
    Expect(OpenFiles(folder)->SaveLedgerFile(EncodeLedgerFile(*cipher, pin, ledgerText)).InPlace(),
           "the fuzz folder takes a save");
    const DecodedLedger reopened = Open(pin);
    Expect(reopened.status == DecodedLedger::Status::Ledger && reopened.ledger == ledgerText,
           "a saved ledger opens again as it was");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static QTemporaryDir dir;
    Expect(dir.isValid(), "a temporary folder");
    folder = dir.path();
    static Cipher sessionCipher;
    cipher = &sessionCipher;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return -1;
    const auto* bytes = reinterpret_cast<const char*>(data);
    // Only a PIN of four digits reaches the cipher, as in the program.
    const std::optional<Pin> pin = Pin::FromText(FromWin1252(QByteArray(bytes, 4)));
    if (!pin) return -1;
    WriteLedgerFile(QByteArray(bytes + 4, qsizetype(size - 4)));

    const DecodedLedger opened = Open(*pin);
    if (opened.status != DecodedLedger::Status::Ledger) return 0;
    Ledger ledger;
    ledger.SetText(opened.ledger);
    const BookingOutcome outcome = ledger.Book(Booking::Credit, QStringLiteral("12.50"), FixedDay);
    if (outcome.result == BookingResult::Booked) ExpectReopens(*pin, ledger.Text());
    return 0;
}
