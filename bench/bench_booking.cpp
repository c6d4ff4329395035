// A booking on a long ledger with the ledger field updated and painted, the hand-over of a
// whole ledger to the window at open, and the ledger check that runs at every open.
#include "core/ledger_lines.h"
#include "gui/form2.h"
#include "support/controls.h"
#include "support/ledger_builder.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {
void BM_Booking(benchmark::State& state) {
    const QString ledger = LedgerOf(state.range(0));
    Form2 form;
    form.show();
    ledger_window::Text1(form)->setText(QStringLiteral("12345.67"));
    for (auto _ : state) {
        state.PauseTiming();
        form.SetLedgerText(ledger);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        ledger_window::Plus(form)->click(); // as the user books: the button's click
        // Lay out and paint what the user sees at once.
        QCoreApplication::processEvents();
    }
    if (form.LedgerText().size() == ledger.size()) state.SkipWithError("the booking was refused");
}
BENCHMARK(BM_Booking)->Arg(32000)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The open sequence hands the whole deciphered ledger to the window at once.
void BM_SetLedgerText(benchmark::State& state) {
    const QString ledger = LedgerOf(state.range(0));
    Form2 form;
    form.show();
    for (auto _ : state) {
        form.SetLedgerText(ledger);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_SetLedgerText)->Arg(32764)->Unit(benchmark::kMillisecond);

void BM_IsLedgerText(benchmark::State& state) {
    const QString ledger = LedgerOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(IsLedgerText(ledger));
    state.SetBytesProcessed(state.iterations() * ledger.size());
}
BENCHMARK(BM_IsLedgerText)->Arg(32764)->Unit(benchmark::kMicrosecond);
} // namespace
