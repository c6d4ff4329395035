// The way every run ends: the closing window shrinks and drifts off the screen, then the
// program ends.
#pragma once

class QWidget;

// A window's outer geometry in twips. A set the window refuses or clamps leaves the value
// as the window has it; the exit sequence reads every value afresh.
class TwipsWindow {
  public:
    virtual ~TwipsWindow() = default;
    virtual float Top() const = 0;
    virtual float Left() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetTop(float twips) = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;
};

// Whether a run goes on after a step. Ended comes only from ShrinkAndEnd, and a step that
// gets it hands it straight back: the real runtime never returns from the end, so nothing
// after it may run (the build refuses a dropped Ended).
enum class [[nodiscard]] Run{Going, Ended};

// Moves the window 30 twips down and right and shrinks it by 60 each pass until its top
// lies beyond the screen's width, then calls Rt().End().
Run ShrinkAndEnd(TwipsWindow& window);
Run ShrinkAndEnd(QWidget& window);
