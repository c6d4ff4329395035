// The scripted runtime the window benchmarks run on, so that nothing waits for a user.
#pragma once

#include "support/scripted_runtime.h"

ScriptedRuntime& BenchRuntime();
