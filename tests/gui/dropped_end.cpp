// Must not build: a step that goes on after ending the run. The real runtime never returns
// from the end, so what follows would run in tests only.
#include "gui/exit_sequence.h"

#include <QWidget>

void EndsAndGoesOn(QWidget& window) {
    ShrinkAndEnd(window);
    window.show();
}
