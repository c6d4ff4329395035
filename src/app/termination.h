// Every ending the user did not choose saves an open ledger: the signals that ask a program
// to stop, the end of the desktop session, and Qt ending the process when the display is
// lost. A session checkpoint saves too, and the run goes on.
#pragma once

#include <functional>

struct EndingHandlers {
    // Saves an open, non-empty ledger without boxes, animation or any use of the display.
    std::function<void()> saveQuietly;
    // Releases what the run holds (the lock) when the process ends by a way of Qt's own.
    std::function<void()> release;
};

// Call once, after the QApplication exists. A stop signal saves, then ends through Rt().End().
void WatchForEndings(EndingHandlers handlers);
