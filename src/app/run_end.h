// The end of the run, whatever ends it: an open ledger saved quietly, the lock released, the
// process ended. The signals that ask a program to stop, the display going away (Qt then calls
// exit()), the desktop session ending, the event loop ending and the exit sequence's
// Rt().End() all come here; a session checkpoint saves and lets the run go on.
#pragma once

class LedgerFiles;
class Program;

class RunEnd {
  public:
    RunEnd(Program& program, LedgerFiles& files);
    ~RunEnd();
    RunEnd(const RunEnd&) = delete;
    RunEnd& operator=(const RunEnd&) = delete;

    // From now on the process's endings reach this run. Installing another (a test's next
    // run) takes over from this one; the process's handlers themselves are set up once.
    void Install();

    // Saves an open, non-empty ledger without boxes, animation or any use of the display.
    void SaveQuietly();
    // Saves quietly, then ends the process as the exit sequence does.
    [[noreturn]] void SaveAndEnd();
    // Releases the lock and ends the process at once: no event loop, destructor or close
    // handler runs after it.
    [[noreturn]] void End();
    // The process is going by a way of its own (exit()): save and let go of the lock.
    void SaveAndRelease();

  private:
    Program& program;
    LedgerFiles& files;
};
