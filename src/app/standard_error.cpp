#include "app/standard_error.h"

namespace StandardError {
const QString QuietSaveFailed = QStringLiteral("quillcount: the ledger was not saved: %1\n");
const QString QuietSaveKept =
    QStringLiteral("quillcount: %1 was changed by another program, so it was left as it is; "
                   "this run's ledger was saved as %2\n");
const QString QuietSaveUnchecked =
    QStringLiteral("quillcount: %1 could not be read (%3), so it was left as it is; this run's "
                   "ledger was saved as %2\n");
const QString QuietSaveUnwritten =
    QStringLiteral("quillcount: %1 could not be written (%3); this run's ledger was saved as "
                   "%2\n");
const QString QuietSaveDisplaced =
    QStringLiteral("quillcount: the ledger was saved as %1, but the file another program had "
                   "put there could not be put back (%3): it was kept as %2\n");
const QString QuietSaveNotDurable =
    QStringLiteral("quillcount: the ledger was saved, but may not survive a power cut: %1\n");
} // namespace StandardError
