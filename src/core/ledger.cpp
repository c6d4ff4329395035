#include "core/ledger.h"

#include "core/numbers.h"

bool Ledger::ReadBalance() {
    const auto length = ToInt16(text.size());
    if (!length) return false;
    for (TextPos = 1; TextPos <= *length; ++TextPos) {
        if (text[TextPos - 1] == PoundSign) {
            BalanceText = text.mid(TextPos);
            return true;
        }
        if (TextPos == INT16_MAX) return false; // a 16-bit position cannot pass 32,767
    }
    return true;
}

BookingOutcome Ledger::Book(Booking kind, const QString& amountText,
                            const std::function<QDate()>& today) {
    // The amount booked is the one the entry line shows, so entries and balance agree.
    const auto typed = MoneyFromDouble(Val(amountText));
    const auto amount = typed ? ToWholePence(*typed) : std::nullopt;
    if (!amount) return {BookingResult::Overflow, {}};
    if (*amount == 0) return {BookingResult::ZeroAmount, {}};
    if (!ReadBalance()) return {BookingResult::Overflow, {}};
    // The balance carried over is the two-decimal figure written on the newest line.
    const auto read = MoneyFromDouble(Val(BalanceText));
    const auto balance = read ? ToWholePence(*read) : std::nullopt;
    Money result;
    if (!balance || (kind == Booking::Credit ? __builtin_add_overflow(*balance, *amount, &result)
                                             : __builtin_sub_overflow(*balance, *amount, &result)))
        return {BookingResult::Overflow, {}};
    Amount = *amount;
    NewBalance = result;
    // A booking across midnight may date its two lines differently.
    QString lines = BalanceLine(today(), NewBalance);
    lines += EntryLine(today(), kind, Amount);
    if (text.size() + lines.size() > MaxLedgerLength) return {BookingResult::TooLong, {}};
    text.prepend(lines);
    return {BookingResult::Booked, lines};
}
