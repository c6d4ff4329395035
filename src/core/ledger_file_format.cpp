#include "core/ledger_file_format.h"

#include "core/ledger_lines.h"
#include "core/win1252.h"

namespace {
const QByteArray LineEnd = "\r\n";

// An empty text is a new ledger. Otherwise the text must be the unlock marker, a ledger text
// and the file's line end. The marker alone is right for about one PIN in a hundred; the
// garble that follows it under a wrong PIN is never a ledger, so the whole text is checked.
bool IsUnlocked(const QString& text) {
    if (text.isEmpty()) return true;
    if (text.size() < 3 || text.front() != UnlockMarker || !text.endsWith(u"\r\n")) return false;
    return IsLedgerText(QStringView(text).sliced(1, text.size() - 3));
}
} // namespace

QByteArray EncodeLedgerFile(Cipher& cipher, const Pin& pin, const QString& ledger) {
    // A ledger is never longer than the transform takes with its marker, so it always
    // enciphers.
    static_assert(MaxLedgerLength + 1 <= Cipher::MaxTextLength);
    QString text = UnlockMarker + ledger;
    cipher.SetRotorsFromPin(pin, text);
    return ToWin1252(text) + LineEnd;
}

DecodedLedger DecodeLedgerFile(Cipher& cipher, const Pin& pin, const QByteArray& bytes) {
    QString text = FromWin1252(bytes);
    if (cipher.SetRotorsFromPin(pin, text) != CipherResult::Transformed)
        return {DecodedLedger::Status::TooLong};
    if (!IsUnlocked(text)) return {DecodedLedger::Status::WrongPin};
    if (text.isEmpty()) return {};
    text.chop(LineEnd.size());
    text.remove(0, 1);
    return {DecodedLedger::Status::Ledger, text};
}

QString EncipheredText(const QByteArray& bytes) {
    return FromWin1252(bytes.chopped(LineEnd.size()));
}

QByteArray EncodePlainCopy(const QString& ledger) {
    return ToWin1252(ledger) + LineEnd;
}
