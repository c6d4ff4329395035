// The lock that keeps a second copy of the program off a ledger in use, so that two copies
// never save over each other's bookings.
#pragma once

class LedgerFiles;

enum class LockOutcome {
    Held,     // ours for the run
    Unlocked, // the folder takes no lock (it cannot be written): the run goes on without one
    Refused,  // a live copy holds it, or it cannot be taken; the user was told
    Declined, // a lock that cannot be shown to be alive, which the user chose to keep
};

// Takes over the lock of a dead copy on this host without asking; a lock that cannot be
// shown to be alive (empty, unreadable, or written on another host) is removed only when
// the user says so.
LockOutcome TakeLedgerLock(LedgerFiles& files);
