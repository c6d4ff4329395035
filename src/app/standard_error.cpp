#include "app/standard_error.h"

namespace StandardError {
const QString QuietSaveFailed = QStringLiteral("quillcount: the ledger was not saved: %1\n");
const QString QuietSaveKept =
    QStringLiteral("quillcount: %1 was changed by another program, so it was left as it is; "
                   "this run's ledger was saved as %2\n");
const QString QuietSaveUnchecked =
    QStringLiteral("quillcount: %1 could not be read (%3), so it was left as it is; this run's "
                   "ledger was saved as %2\n");
const QString QuietSaveNotDurable =
    QStringLiteral("quillcount: the ledger was saved, but may not survive a power cut: %1\n");
} // namespace StandardError
