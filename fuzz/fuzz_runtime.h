// The runtime behind the fuzz targets: a fixed clock, so that a booking and its dates are
// the same on every run of an input, and no dialogs.
#pragma once

void InstallFuzzRuntime();
