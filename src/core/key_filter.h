// The one key rule of every PIN and amount field: digits and a few editing and
// punctuation codes pass, Enter runs the field's action where it has one, all else
// is dropped with a beep.
#pragma once

enum class KeyVerdict { Pass, Enter, Drop };

// The character code Enter delivers.
constexpr int EnterCode = 13;

KeyVerdict FilterKey(int code, bool hasEnterAction);

// True for the characters such a field may hold, however they arrive (typed or pasted).
bool IsFieldCharacter(int code);
