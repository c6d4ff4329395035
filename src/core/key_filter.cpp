#include "core/key_filter.h"

bool IsFieldCharacter(int code) {
    return (code >= '0' && code <= '9') || code == '%' || code == '&' || code == '\'' ||
           code == '(' || code == '.';
}

KeyVerdict FilterKey(int code, bool hasEnterAction) {
    if (IsFieldCharacter(code) || code == 8 || code == 9 || code == 12) return KeyVerdict::Pass;
    if (code == EnterCode && hasEnterAction) return KeyVerdict::Enter;
    return KeyVerdict::Drop;
}
