// The end of the run, whatever ends it: an open ledger saved quietly, the lock released, the
// process ended. The signals that ask a program to stop, the display going away (Qt then calls
// exit()), the desktop session ending, the event loop ending and the exit sequence's
// Rt().End() all come here; a session checkpoint saves and lets the run go on.
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
    // Saves quietly, then ends the process as the exit sequence does.
    [[noreturn]] void SaveAndEnd();
    // Releases the lock and ends the process at once: no event loop, destructor or close
    // handler runs after it.
    [[noreturn]] void End();
    // The process is going by a way of its own (exit()): save and let go of the lock.
    void SaveAndRelease();

  private:
    LedgerStore& store;
};
