// What the process sets up before anything else: its standard streams open, nothing it holds (the
// plain ledger, the PIN) may reach a core dump or another process, every file it creates is the
// user's alone, and a file-size limit or a closed pipe fails a write instead of killing the
// program.
#pragma once

void GuardProcess();
