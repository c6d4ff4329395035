// Catches the end of the desktop session and the signals that ask a program to stop, so
// that an open ledger is saved rather than lost.
#pragma once

#include <functional>

// onEnd runs on the user-interface thread when SIGTERM or SIGHUP arrives or the session
// manager asks the program to save its data. Call once, after the QApplication exists.
void WatchForTermination(std::function<void()> onEnd);
