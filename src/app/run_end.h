// The end of the run by every ending the user did not choose: an open ledger saved quietly,
// the lock released, the process ended. The signals that ask a program to stop, a console's
// events, the display going away (Qt then calls exit()), the desktop session ending and the
// event loop ending come here straight; a session checkpoint saves and lets the run go on.
// The user's own ways out close the store and end through the exit sequence.
#pragma once

class LedgerStore;

class RunEnd {
  public:
    explicit RunEnd(LedgerStore& store);
    ~RunEnd();
    RunEnd(const RunEnd&) = delete;
    RunEnd& operator=(const RunEnd&) = delete;

    // From now on the process's endings reach this run. Installing another (a test's next
    // run) takes over from this one; the process's handlers themselves are set up once.
    void Install();

    // For every ending the user did not choose, and a session checkpoint: saves a ledger that
    // is open and not empty, without animation, boxes or any use of the display. The run stays
    // as it was; a failure is told on the standard error. A ledger file changed behind the
    // program's back is kept, and this run's ledger saved beside it.
    void SaveQuietly();
    // The process is going by a way of its own (exit()): saves quietly and lets go of the lock.
    void SaveAndRelease();
    // Saves quietly, lets go of the lock and ends the process at once: no event loop,
    // destructor or close handler runs after it.
    [[noreturn]] void SaveAndEnd();

  private:
    LedgerStore& store;
};
