// The names of the program's files in its folder. Constant-initialised, so that texts built
// from them during static initialisation never see them unset.
#pragma once

inline constexpr char LedgerFileName[] = "QcEcV3.1.Txt";
inline constexpr char PlainCopyFileName[] = "QcUcV3.1.Txt";
// Beside the file the ledger's name leads to: its lock, and ledgers kept beside it.
inline constexpr char LockSuffix[] = ".lock";
inline constexpr char KeptSuffix[] = ".kept-";
