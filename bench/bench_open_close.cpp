// Opening a full-length ledger file up to the plain text in the ledger field, and closing
// it again (encipher and save), without the exit animation.
#include "key_filter.h"
#include "ledger_files.h"
#include "ledger_session.h"
#include "long_ledger.h"
#include "scripted_runtime.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct StoredLedger {
    QTemporaryDir folder;
    QLineEdit startupPin;
    std::unique_ptr<LedgerSession> session;

    StoredLedger() {
        static_cast<ScriptedRuntime&>(Rt()).appPath = folder.path();
        startupPin.setText(QStringLiteral("4827"));
        session = std::make_unique<LedgerSession>(startupPin);
        session->Window().txtKey->setText(startupPin.text());
        session->Window().SetLedgerText(LedgerOf(MaxLedgerLength));
        session->SaveLedger();
    }
    qint64 FileSize() const { return QFileInfo(LedgerFilePath(folder.path())).size(); }
};

void BM_OpenLedger(benchmark::State& state) {
    StoredLedger stored;
    for (auto _ : state) {
        if (!stored.session->UnlockLedger()) state.SkipWithError("the stored ledger did not open");
        QCoreApplication::processEvents();
    }
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_OpenLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_CloseLedger(benchmark::State& state) {
    StoredLedger stored;
    for (auto _ : state)
        if (!stored.session->SaveLedger().isEmpty())
            state.SkipWithError("the ledger was not saved");
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_CloseLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
} // namespace
