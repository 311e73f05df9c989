// Ctrl-C, SIGTERM and SIGHUP end a run as Esc does (its log line included),
// never in the middle of writing a file.
#pragma once

// Installs the handlers: they only note the signal.
void catchendsignals();
// Called where keys are read (the frame loop and every wait): when a signal
// came, logs "Interrupt", says which signal it was and ends the run as Esc.
void endonsignal();
