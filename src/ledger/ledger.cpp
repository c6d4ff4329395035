#include "ledger.h"

#include "numbers.h"
#include "runtime.h"

void Ledger::ReadBalance() {
    const std::int16_t length = ToInt16(text.size());
    for (TextPos = 1; TextPos <= length; TextPos = ToInt16(qsizetype(TextPos) + 1)) {
        if (text[TextPos - 1] == PoundSign) {
            BalanceText = text.mid(TextPos);
            return;
        }
    }
}

BookingOutcome Ledger::Book(Booking kind, const QString& amountText) {
    try {
        // The amount booked is the one the entry line shows, so entries and balance agree.
        const Money amount = ToWholePence(MoneyFromDouble(Val(amountText)));
        if (amount == 0) return {BookingResult::ZeroAmount, {}};
        ReadBalance();
        // The balance carried over is the two-decimal figure written on the newest line.
        const Money balance = ToWholePence(MoneyFromDouble(Val(BalanceText)));
        Money result;
        if (kind == Booking::Credit ? __builtin_add_overflow(balance, amount, &result)
                                    : __builtin_sub_overflow(balance, amount, &result))
            return {BookingResult::Overflow, {}};
        Amount = amount;
        NewBalance = result;
    } catch (const OverflowError&) {
        return {BookingResult::Overflow, {}};
    }
    // A booking across midnight may date its two lines differently.
    QString lines = BalanceLine(Rt().Now().date(), NewBalance);
    lines += EntryLine(Rt().Now().date(), kind, Amount);
    if (text.size() + lines.size() > MaxLedgerLength) return {BookingResult::TooLong, {}};
    text.prepend(lines);
    return {BookingResult::Booked, lines};
}
