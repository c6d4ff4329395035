// Typed keys and a ledger text from outside. The keys the filter lets through make the
// amount; any text goes through the ledger text check, and an amount booked on a ledger
// must leave a ledger. Input: the keys, a zero byte, the ledger text.
#include "core/key_filter.h"
#include "core/ledger.h"
#include "core/ledger_lines.h"
#include "core/win1252.h"
#include "expect.h"
#include "support/ledger_builder.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QString keys = FromWin1252(input.left(split));
    const QString text = split < 0 ? QString() : FromWin1252(input.mid(split + 1));

    QString amount;
    for (const QChar key : keys) {
        Expect(FilterKey(key.unicode(), false) != KeyVerdict::Enter,
               "Enter does nothing in a field without an action");
        if (FilterKey(key.unicode(), true) == KeyVerdict::Pass) amount += key;
    }

    if (!IsLedgerText(text)) return 0;
    Ledger ledger;
    ledger.SetText(text);
    const BookingOutcome outcome = ledger.Book(Booking::Debit, amount, FixedDay);
    if (outcome.result == BookingResult::Booked) {
        Expect(ledger.Text() == outcome.lines + text, "a booking goes on top of the ledger");
        Expect(IsLedgerText(ledger.Text()), "a booked ledger is still a ledger");
        Expect(ToWholePence(outcome.amount) == outcome.amount &&
                   ToWholePence(outcome.balance) == outcome.balance,
               "entry and balance book whole pence, so they always agree");
    } else {
        Expect(ledger.Text() == text, "a refused booking leaves the ledger as it was");
    }
    return 0;
}
