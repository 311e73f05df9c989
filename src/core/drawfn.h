// One picture of a stimulus: drawn for time t (the previous frame's tprev).
#pragma once

using DrawFn = void (*)(double t, double tprev);

// A type's own waiting screen ("Ready", "Done"), drawn with its label text.
using WaitFn = void (*)(const char* text);
