// Told on the standard error when a quiet save fails: there is no window to tell it in.
#pragma once

#include <QString>

namespace StandardError {
extern const QString QuietSaveFailed;
extern const QString QuietSaveKept;
extern const QString QuietSaveUnchecked;
extern const QString QuietSaveUnwritten;
extern const QString QuietSaveDisplaced;
extern const QString QuietSaveNotDurable;
} // namespace StandardError
