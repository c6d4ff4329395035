// Opening a full-length ledger file up to the plain text in the ledger field, and closing
// it again (encipher and save), without the exit animation.
#include "app/ledger_session.h"
#include "bench_runtime.h"
#include "core/ledger_files.h"
#include "support/controls.h"
#include "support/file_helpers.h"
#include "support/ledger_builder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
// A ledger file of full length, saved by a session that opened an empty ledger in a folder
// of its own.
struct StoredLedger {
    QTemporaryDir folder;
    std::unique_ptr<LedgerFiles> files = OpenFiles(folder.path());
    std::unique_ptr<LedgerSession> session;

    StoredLedger() {
        BenchRuntime();
        session = std::make_unique<LedgerSession>(MakePin(QStringLiteral("4827")), *files);
        // No file yet: an empty ledger, in a window not shown.
        if (session->Form_Load() != Run::Going) std::abort();
        FindWindow<Form2>(false)->SetLedgerText(LedgerOf(MaxLedgerLength));
        session->SaveQuietly();
    }
    qint64 FileSize() const { return QFileInfo(LedgerFilePath(folder.path())).size(); }
};

void BM_OpenLedger(benchmark::State& state) {
    StoredLedger stored;
    for (auto _ : state) {
        if (stored.session->Form_Load() != Run::Going)
            state.SkipWithError("the stored ledger did not open");
        QCoreApplication::processEvents();
    }
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_OpenLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_CloseLedger(benchmark::State& state) {
    StoredLedger stored;
    for (auto _ : state)
        stored.session->SaveQuietly();
    if (stored.FileSize() != LedgerOf(MaxLedgerLength).size() + 3)
        state.SkipWithError("the ledger was not saved");
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_CloseLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
} // namespace
