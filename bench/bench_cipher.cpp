// The rotor transform over the longest text it takes, against the floor of any cipher that
// looks each character up in a table.
#include "core/cipher.h"
#include "support/ledger_builder.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

// A ledger filled up to exactly the longest text the transform takes.
QString LedgerText(qsizetype length) {
    return LedgerOf(length).leftJustified(length, QLatin1Char(' '));
}

void BM_RunCipher(benchmark::State& state) {
    QString text = LedgerText(state.range(0));
    Cipher cipher;
    const Pin pin = MakePin(QStringLiteral("4711"));
    for (auto _ : state) {
        cipher.SetRotorsFromPin(pin, text);
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
