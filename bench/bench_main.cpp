// Entry point of the benchmarks that need windows: an offscreen application and a
// scripted runtime, so that nothing waits for a user.
#include "bench_runtime.h"
#include "gui/look.h"

#include <QApplication>
#include <benchmark/benchmark.h>

ScriptedRuntime& BenchRuntime() {
    static ScriptedRuntime runtime;
    return runtime;
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    InstallWindowAccessibility();
    QApplication app(argc, argv);
    BenchRuntime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
