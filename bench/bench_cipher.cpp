// The rotor transform over the longest text it takes, against the floor of any cipher that
// looks each character up in a table.
#include "core/cipher.h"
#include "core/ledger_lines.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

// Bookings over the years, newest first, cut at the given length.
QString LedgerText(qsizetype length) {
    QString text;
    Money balance = 0;
    for (int i = 0; text.size() < length; ++i) {
        const QDate date = QDate(2026, 12, 6).addDays(-i);
        const Money amount = Money(i % 977 + 1) * 12345;
        balance += i % 3 ? -amount : amount;
        text += BalanceLine(date, balance) +
                EntryLine(date, i % 3 ? Booking::Debit : Booking::Credit, amount);
    }
    text.truncate(length);
    return text;
}

void BM_RunCipher(benchmark::State& state) {
    QString text = LedgerText(state.range(0));
    Cipher cipher;
    for (auto _ : state) {
        cipher.SetRotors(47, 11);
        cipher.RunCipher(text);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Substitute(benchmark::State& state) {
    QString text = LedgerText(state.range(0));
    std::array<char16_t, 256> table;
    for (int code = 0; code < 256; ++code)
        table[code] = char16_t(255 - code);
    for (auto _ : state) {
        for (QChar& c : text)
            c = QChar(table[c.unicode() & 0xFF]);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_RunCipher)->Arg(32767);
BENCHMARK(BM_Substitute)->Arg(32767);

BENCHMARK_MAIN();
