// The lock that keeps a second copy of the program off a ledger in use, so that two copies
// never save over each other's bookings.
#pragma once

#include "core/file_protocol.h"

class LedgerStore;

// A lock nobody holds is taken over without asking; one written on another host, which may
// still be in use there, is taken only when the user says so. Every other outcome but Held
// and NotCreated (the run goes on without a lock: nothing can be saved there either) was told.
LockOutcome TakeLedgerLock(LedgerStore& store);
