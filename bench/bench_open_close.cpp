// Opening a full-length ledger file up to the plain text in the ledger field, and closing
// it again (encipher and save), without the exit animation.
#include "app/ledger_session.h"
#include "app/run_end.h"
#include "bench_runtime.h"
#include "core/ledger_file_format.h"
#include "support/file_helpers.h"
#include "support/ledger_builder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
// A ledger file of full length in a folder of its own, opened by a session.
struct StoredLedger {
    const Pin pin = MakePin(QStringLiteral("4827"));
    QTemporaryDir folder;
    std::unique_ptr<LedgerStore> store;
    std::unique_ptr<LedgerSession> session;

    StoredLedger() {
        BenchRuntime();
        Cipher cipher;
        const QByteArray file = EncodeLedgerFile(cipher, pin, LedgerOf(MaxLedgerLength));
        if (!OpenFiles(folder.path())->SaveLedgerFile(file).InPlace()) std::abort();
        store = OpenStore(folder.path());
        session = std::make_unique<LedgerSession>(*store);
        if (session->Form_Load(pin) != Run::Going) std::abort(); // in a window not shown
    }
    qint64 FileSize() const { return QFileInfo(LedgerFilePath(folder.path())).size(); }
};

void BM_OpenLedger(benchmark::State& state) {
    StoredLedger stored;
    for (auto _ : state) {
        if (stored.session->Form_Load(stored.pin) != Run::Going)
            state.SkipWithError("the stored ledger did not open");
        QCoreApplication::processEvents();
    }
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_OpenLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_CloseLedger(benchmark::State& state) {
    StoredLedger stored;
    RunEnd end(*stored.store);
    for (auto _ : state)
        end.SaveQuietly();
    if (stored.FileSize() != LedgerOf(MaxLedgerLength).size() + 3)
        state.SkipWithError("the ledger was not saved");
    state.counters["file_bytes"] = double(stored.FileSize());
}
BENCHMARK(BM_CloseLedger)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
} // namespace
