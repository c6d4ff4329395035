// The exit sequence on a scripted window and on a real widget.
#include "gui/exit_sequence.h"
#include "gui/widget_twips_window.h"
#include "support/scripted_runtime.h"

#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Refuses negative sizes and clamps below its smallest size, as platforms do; can be held
// still, as a minimised or maximised window is.
struct FakeWindow : TwipsWindow {
    float top = 3000, left = 1000, width = 4800, height = 1600;
    float smallest = 0;
    bool movable = true;
    int passes = 0; // counted by the changes of Top

    float Top() const override { return top; }
    float Left() const override { return left; }
    float Width() const override { return width; }
    float Height() const override { return height; }
    void SetTop(float twips) override {
        ++passes;
        if (movable) top = twips;
    }
    void SetLeft(float twips) override {
        if (movable) left = twips;
    }
    void SetWidth(float twips) override {
        if (twips >= 0) width = std::max(twips, smallest);
    }
    void SetHeight(float twips) override {
        if (twips >= 0) height = std::max(twips, smallest);
    }
};

struct Run {
    float top;
    int screenWidth;
    int passes;
};

class PassCount : public ::testing::TestWithParam<Run> {};

TEST_P(PassCount, UntilTheTopLiesBeyondTheScreenWidth) {
    ScriptedRuntime rt;
    rt.screenWidthTwips = GetParam().screenWidth;
    FakeWindow window;
    window.top = GetParam().top;
    EXPECT_EQ(ShrinkAndEnd(window), ::Run::Ended);
    EXPECT_EQ(window.passes, GetParam().passes);
    EXPECT_EQ(window.top, GetParam().top + 30.0f * GetParam().passes);
    EXPECT_EQ(rt.ends, 1);
}

INSTANTIATE_TEST_SUITE_P(Screens, PassCount,
                         ::testing::Values(Run{3000, 15360, 413}, Run{15360, 15360, 1},
                                           Run{15361, 15360, 1}, Run{20000, 15360, 1},
                                           Run{0, 15360, 513}, Run{-600, 15360, 533},
                                           Run{3000, 28800, 861}, Run{100, 0, 1}));

TEST(ShrinkAndEnd, FirstPassMovesBy30AndShrinksBy60) {
    ScriptedRuntime rt;
    rt.screenWidthTwips = 0; // ends after one pass
    FakeWindow window;
    EXPECT_EQ(ShrinkAndEnd(window), ::Run::Ended);
    EXPECT_EQ(window.top, 3030);
    EXPECT_EQ(window.left, 1030);
    EXPECT_EQ(window.width, 4740);
    EXPECT_EQ(window.height, 1540);
}

TEST(ShrinkAndEnd, PassesGoOnOnceTheSizeCanShrinkNoFurther) {
    for (const float smallest : {0.0f, 1500.0f}) {
        ScriptedRuntime rt;
        FakeWindow window;
        window.smallest = smallest;
        EXPECT_EQ(ShrinkAndEnd(window), ::Run::Ended);
        EXPECT_EQ(window.passes, 413);
        EXPECT_EQ(window.left, 1000 + 413 * 30);
        EXPECT_EQ(window.width, std::max(smallest, 4800.0f - 80 * 60)) << smallest;
        EXPECT_EQ(window.height, std::max(smallest, 1600.0f - 26 * 60)) << smallest;
        EXPECT_EQ(rt.ends, 1);
    }
}

TEST(ShrinkAndEnd, AWindowThatCannotMoveStillEnds) {
    ScriptedRuntime rt;
    FakeWindow window;
    window.movable = false;
    EXPECT_EQ(ShrinkAndEnd(window), ::Run::Ended);
    EXPECT_EQ(window.passes, 413);
    EXPECT_EQ(window.top, 3000);
    EXPECT_EQ(rt.ends, 1);
}

TEST(ShrinkAndEnd, RealWidgetShrinksAndDriftsInTwips) {
    ScriptedRuntime rt;
    rt.screenWidthTwips = 0;
    QWidget widget;
    widget.setFixedSize(100, 60);
    widget.move(60, 200);
    widget.show();
    EXPECT_EQ(ShrinkAndEnd(widget), ::Run::Ended);
    EXPECT_EQ(widget.pos(), QPoint(62, 202));
    EXPECT_EQ(widget.size(), QSize(96, 56));
    EXPECT_EQ(rt.ends, 1);
}

TEST(ShrinkAndEnd, RealWidgetMakesEveryPass) {
    ScriptedRuntime rt;
    QWidget widget;
    widget.resize(100, 60);
    widget.move(60, 200);
    widget.show();
    WidgetTwipsWindow twips(widget);
    EXPECT_EQ(twips.Top(), 3000);
    EXPECT_EQ(ShrinkAndEnd(twips), ::Run::Ended);
    EXPECT_EQ(twips.Top(), 3000 + 413 * 30);
    EXPECT_EQ(twips.Left(), 900 + 413 * 30);
    EXPECT_LE(widget.width(), 100);
    EXPECT_EQ(rt.ends, 1);
}

} // namespace
