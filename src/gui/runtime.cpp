#include "gui/runtime.h"

#include <cassert>

namespace {
Runtime* current = nullptr;
}

Runtime& Rt() {
    assert(current && "no runtime installed");
    return *current;
}

void SetRuntime(Runtime* runtime) {
    current = runtime;
}
