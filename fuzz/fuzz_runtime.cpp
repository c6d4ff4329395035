#include "fuzz_runtime.h"

#include "runtime.h"

#include <cstdlib>

namespace {
class FuzzRuntime : public Runtime {
  public:
    int MsgBox(const QString&, int, const QString&) override { return MsgAnswer::No; }
    void Beep() override {}
    QDateTime Now() override { return QDateTime(QDate(2026, 12, 6), QTime(12, 0)); }
    QString AppPath() override { return {}; }
    int ScreenWidthTwips() override { return 15360; }
    void SetMousePointer(int) override {}
    // Nothing the targets run may end the program.
    void End() override { std::abort(); }
};
} // namespace

void InstallFuzzRuntime() {
    static FuzzRuntime runtime;
    SetRuntime(&runtime);
}
