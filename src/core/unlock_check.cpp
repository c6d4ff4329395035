#include "core/unlock_check.h"

#include "core/ledger_lines.h"

UnlockResult CheckUnlockMarker(QString& text) {
    if (text.isEmpty()) return UnlockResult::Unlocked;
    // The marker alone is right for about one PIN in a hundred; the garble that follows it
    // under a wrong PIN is never a ledger, so the whole text is checked before it is kept.
    if (text.size() < 3 || text.front() != UnlockMarker || !text.endsWith(u"\r\n"))
        return UnlockResult::WrongPin;
    const QStringView ledger = QStringView(text).sliced(1, text.size() - 3);
    if (!IsLedgerText(ledger)) return UnlockResult::WrongPin;
    text = ledger.toString();
    return UnlockResult::Unlocked;
}
