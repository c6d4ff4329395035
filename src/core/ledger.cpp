#include "core/ledger.h"

#include "core/numbers.h"

#include <cstdint>

// The scan keeps a 16-bit position: it cannot take a longer text, nor go on past 32,767.
std::optional<QStringView> Ledger::ReadBalance() const {
    if (text.size() > INT16_MAX) return std::nullopt;
    const qsizetype at = text.indexOf(PoundSign);
    if (at < 0) return text.size() < INT16_MAX ? std::optional(QStringView()) : std::nullopt;
    return QStringView(text).sliced(at + 1);
}

BookingOutcome Ledger::Book(Booking kind, const QString& amountText,
                            const std::function<QDate()>& today) {
    // The amount booked is the one the entry line shows, so entries and balance agree.
    const auto typed = MoneyFromDouble(Val(amountText));
    const auto amount = typed ? ToWholePence(*typed) : std::nullopt;
    if (!amount) return {BookingResult::Overflow};
    if (*amount == 0) return {BookingResult::ZeroAmount};
    const std::optional<QStringView> balanceText = ReadBalance();
    if (!balanceText) return {BookingResult::Overflow};
    // The balance carried over is the two-decimal figure written on the newest line.
    const auto read = MoneyFromDouble(Val(*balanceText));
    const auto balance = read ? ToWholePence(*read) : std::nullopt;
    Money result;
    if (!balance || (kind == Booking::Credit ? __builtin_add_overflow(*balance, *amount, &result)
                                             : __builtin_sub_overflow(*balance, *amount, &result)))
        return {BookingResult::Overflow};
    // A booking across midnight may date its two lines differently.
    QString lines = BalanceLine(today(), result);
    lines += EntryLine(today(), kind, *amount);
    if (text.size() + lines.size() > MaxLedgerLength) return {BookingResult::TooLong};
    text.prepend(lines);
    return {BookingResult::Booked, lines, *amount, result};
}
