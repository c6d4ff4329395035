// Whole-file reads and writes for the ledger files, in the platform's own terms. Reads take
// only a regular file, and at most maxBytes + 1 bytes of it; writes replace the old file
// only by a complete new one, created owner-only. A link at the name is followed only when
// the user or root made it.
#pragma once

#include "core/ledger_files.h"

LoadResult ReadRegularFile(const QString& path, qsizetype maxBytes);
SaveResult ReplaceFile(const QString& path, const QByteArray& bytes);
