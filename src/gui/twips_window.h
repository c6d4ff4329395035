// A window's outer geometry in twips, as the exit sequence moves and shrinks it.
#pragma once

// A set the window refuses or clamps leaves the value as the window has it; the exit
// sequence reads every value afresh.
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
