// Number conversions shared by the option readers, the scenario reader and
// the events tool. Pure functions: no messages, no exit.
#pragma once

// The option forms: the number at the start of the text, as the standard
// conversion reads it. false when it does not fit an int / is not finite.
bool readint(const char* text, int* value);
bool readreal(const char* text, double* value);

// The whole-token forms of files and logs: the text is one number and
// nothing else (no trailing characters), an integer within lo..hi or a
// finite real.
bool readwholeint(const char* text, long lo, long hi, long* value);
bool readwholereal(const char* text, double* value);
