// The way every run ends: the closing window shrinks and drifts off the screen, then the
// program ends.
#pragma once

#include "gui/twips_window.h"

class QWidget;

// Whether a run goes on after a step. Ended comes only from ShrinkAndEnd, and a step that
// gets it hands it straight back: the real runtime never returns from the end, so nothing
// after it may run (the build refuses a dropped Ended).
enum class [[nodiscard]] Run{Going, Ended};

// Moves the window 30 twips down and right and shrinks it by 60 each pass until its top
// lies beyond the screen's width, then calls Rt().End().
Run ShrinkAndEnd(TwipsWindow& window);
Run ShrinkAndEnd(QWidget& window);
