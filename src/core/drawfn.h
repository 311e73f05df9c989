// One picture of a stimulus: drawn for time t (the previous frame's tprev).
#pragma once

using DrawFn = void (*)(double t, double tprev);
