// The test after a decipher that tells the PIN that wrote the ledger file from any other.
#pragma once

#include "core/ledger_file_format.h"

#include <QString>

enum class UnlockResult { Unlocked, WrongPin };

// An empty text is a new ledger and unlocks as it is. Otherwise the text must be the unlock
// marker, a ledger text and the CR LF that the file adds; text then becomes the ledger text.
// Anything else, a damaged file included, is a wrong PIN and leaves text as it was.
[[nodiscard]] UnlockResult CheckUnlockMarker(QString& text);
