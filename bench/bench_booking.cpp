// A booking on a long ledger with the ledger field updated and painted, the hand-over of a
// whole ledger to the window at open, and the ledger check that runs at every open.
#include "core/ledger.h"
#include "core/ledger_lines.h"
#include "gui/form2.h"
#include "support/controls.h"
#include "support/ledger_builder.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {
void BM_Booking(benchmark::State& state) {
    const QString text = LedgerOf(state.range(0));
    Form2 form;
    Ledger ledger;
    // As the session books what the window asks for.
    QObject::connect(&form, &Form2::BookingRequested, [&](Booking kind, const QString& amount) {
        form.ShowBooking(ledger.Book(kind, amount, FixedDay));
    });
    form.show();
    ledger_window::Text1(form)->setText(QStringLiteral("12345.67"));
    for (auto _ : state) {
        state.PauseTiming();
        ledger.SetText(text);
        form.ShowLedger(text);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        ledger_window::Plus(form)->click(); // as the user books: the button's click
        // Lay out and paint what the user sees at once.
        QCoreApplication::processEvents();
    }
    if (ledger.Text().size() == text.size()) state.SkipWithError("the booking was refused");
}
BENCHMARK(BM_Booking)->Arg(32000)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The open sequence hands the whole deciphered ledger to the window at once.
void BM_ShowLedger(benchmark::State& state) {
    const QString ledger = LedgerOf(state.range(0));
    Form2 form;
    form.show();
    for (auto _ : state) {
        form.ShowLedger(ledger);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ShowLedger)->Arg(32764)->Unit(benchmark::kMillisecond);

void BM_IsLedgerText(benchmark::State& state) {
    const QString ledger = LedgerOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(IsLedgerText(ledger));
    state.SetBytesProcessed(state.iterations() * ledger.size());
}
BENCHMARK(BM_IsLedgerText)->Arg(32764)->Unit(benchmark::kMicrosecond);
} // namespace
