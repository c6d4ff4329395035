// The message boxes that tell the user why the ledger was not transformed or not unlocked.
#pragma once

#include "cipher.h"
#include "runtime.h"

#include <QString>
#include <optional>

// The box to show for a result of the cipher; none for Transformed.
std::optional<BoxMessage> MessageFor(CipherResult result);

// The box for a deciphered text that is not a ledger: the PIN is not the one that wrote it.
BoxMessage WrongPinMessage();
