// The way every run ends: the closing window shrinks and drifts off the screen, then the
// program ends.
#pragma once

#include "gui/twips_window.h"

class QWidget;

// Moves the window 30 twips down and right and shrinks it by 60 each pass until its top
// lies beyond the screen's width, then calls Rt().End(). The test runtime's End()
// returns, so callers must return straight after this.
void ShrinkAndEnd(TwipsWindow& window);
void ShrinkAndEnd(QWidget& window);
