// Typed keys, a ledger text from outside and a clock. The keys the filter lets through make
// the amount; any text goes through the ledger text check, and an amount booked on a ledger,
// on whatever day the clock gives, must leave a ledger that passes that check. Input: the
// keys, a zero byte, the ledger text, a zero byte, then eight bytes for each reading of the
// clock (milliseconds since 1970, UTC; the fixed day once they run out).
#include "core/key_filter.h"
#include "core/ledger.h"
#include "core/ledger_lines.h"
#include "core/win1252.h"
#include "expect.h"
#include "support/ledger_builder.h"

#include <QDateTime>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QString keys = FromWin1252(input.left(split));
    const qsizetype clockSplit = split < 0 ? -1 : input.indexOf('\0', split + 1);
    const QString text =
        split < 0 ? QString()
                  : FromWin1252(input.mid(split + 1, clockSplit < 0 ? -1 : clockSplit - split - 1));
    QByteArray clock = clockSplit < 0 ? QByteArray() : input.mid(clockSplit + 1);
    const auto today = [&clock] {
        if (clock.size() < qsizetype(sizeof(qint64))) return FixedDay();
        qint64 msecs;
        std::memcpy(&msecs, clock.constData(), sizeof msecs);
        clock.remove(0, sizeof msecs);
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).date();
    };

    QString amount;
    for (const QChar key : keys) {
        Expect(FilterKey(key.unicode(), false) != KeyVerdict::Enter,
               "Enter does nothing in a field without an action");
        if (FilterKey(key.unicode(), true) == KeyVerdict::Pass) amount += key;
    }

    if (!IsLedgerText(text)) return 0;
    Ledger ledger;
    ledger.SetText(text);
    const Booking kind = keys.size() % 2 ? Booking::Credit : Booking::Debit;
    const BookingOutcome outcome = ledger.Book(kind, amount, today);
    if (outcome.result == BookingResult::Booked) {
        Expect(ledger.Text() == outcome.lines + text, "a booking goes on top of the ledger");
        Expect(IsLedgerText(ledger.Text()), "a booked ledger, on any day, passes the open check");
        Expect(ToWholePence(outcome.amount) == outcome.amount &&
                   ToWholePence(outcome.balance) == outcome.balance,
               "entry and balance book whole pence, so they always agree");
    } else {
        Expect(ledger.Text() == text, "a refused booking leaves the ledger as it was");
    }
    return 0;
}
