#include "gui/exit_sequence.h"

#include "gui/runtime.h"
#include "gui/widget_twips_window.h"

#include <chrono>
#include <cmath>

namespace {
constexpr float Step = 30;
constexpr float Shrink = 60;
constexpr long MaxPasses = 100000;
// The user is waiting for the program to go; never keep them longer than this.
constexpr auto TimeLimit = std::chrono::milliseconds(1500);

// The passes a freely moving window makes from this Top. A window that cannot move (a
// minimised or maximised one, or one the platform holds still) would never reach the
// test, so it gets this many and no more.
long PassesNeeded(float top, float screenWidth) {
    const double passes = std::floor((double(screenWidth) - double(top)) / Step) + 1;
    if (!(passes > 1)) return 1;
    return passes < MaxPasses ? long(passes) : MaxPasses;
}
} // namespace

Run ShrinkAndEnd(TwipsWindow& window) {
    const auto start = std::chrono::steady_clock::now();
    const long passLimit = PassesNeeded(window.Top(), float(Rt().ScreenWidthTwips()));
    for (long pass = 1;; ++pass) {
        window.SetTop(window.Top() + Step);
        window.SetLeft(window.Left() + Step);
        window.SetWidth(window.Width() - Shrink);
        window.SetHeight(window.Height() - Shrink);
        if (window.Top() > float(Rt().ScreenWidthTwips()) || pass >= passLimit ||
            std::chrono::steady_clock::now() - start > TimeLimit)
            break;
    }
    Rt().End();
    return Run::Ended;
}

Run ShrinkAndEnd(QWidget& window) {
    WidgetTwipsWindow twips(window);
    return ShrinkAndEnd(twips);
}
