// A top-level widget seen as a window measured in twips, for the exit sequence.
#pragma once

#include "gui/twips_window.h"

class QWidget;

// Works on the outer (frame) geometry. Moves and resizes are requested and read back at
// once, never waiting for the window manager. The widget loses any fixed size, since
// shrinking it is the last thing it does.
class WidgetTwipsWindow : public TwipsWindow {
  public:
    explicit WidgetTwipsWindow(QWidget& widget);

    float Top() const override;
    float Left() const override;
    float Width() const override;
    float Height() const override;
    // Negative sizes are refused; sizes below the platform's smallest are clamped.
    void SetTop(float twips) override;
    void SetLeft(float twips) override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;

  private:
    QWidget& widget;
};
