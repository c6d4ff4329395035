// The lock that keeps a second copy of the program off a ledger in use, so that two copies
// never save over each other's bookings.
#pragma once

class LedgerStore;

enum class LockOutcome {
    Held,     // ours for the run
    Unlocked, // the folder takes no lock (it cannot be written): the run goes on without one
    Refused,  // a live copy holds it, or it cannot be taken; the user was told
    Declined, // a lock that cannot be shown to be abandoned, which the user chose to keep
};

// A lock nobody holds is taken over without asking; one written on another host, which may
// still be in use there, is taken only when the user says so.
LockOutcome TakeLedgerLock(LedgerStore& store);
