// Digital I/O: the role table, the bits/code conversions and the device
// operations the stimulus types use (start trigger, response bits, code
// port, output bit array). The operations go to the backend chosen at
// start-up (none, or the simulated box; see diobackend.h); with no box
// attached every one of them does nothing.
#pragma once

#include <string>

// The values VISTRUM_DIO accepts, as "none, sim:<dir> or serial:<device>":
// one per backend, for the unknown-backend message and the manual.
std::string diobackendforms();

// Applies the post-parse bit roles (code, response, trigger) to the role table.
void setupdio();
// Roles that cannot work together (an input bit on an output port, a port
// on a box that is not attached, given `boxes` attached): the message and
// status 1. Roles of functions the run does not use are not checked.
void checkdioroles(int boxes);
// Number of output bits the attached boxes provide for the bit array
// (0 while no box is attached or -nosetupusb).
int dioutputbitcount();

// Code of eight bits, highest first; a bit other than 0/1 ends the run.
int codefrombits(const int bits[8]);
void printcodefrombits(const int bits[8]);
// Bits of a code 0..255, highest first; another code ends the run.
void printbitsfromcode(int code);
void printusbbitsstate();

// Type 61: prints the requested conversion and ends the run.
[[noreturn]] void runcodeconversion();

// --- device operations ------------------------------------------------
// Opens the boxes of the chosen backend (with -setupusb), sets the port
// directions from the role table, fills the output bit array and switches
// all outputs off. Prints the backend in use.
void setupACCESdevs();
// Boxes opened / found but not opened.
int countinitdDIO32s();
int countuninitdDIO32s();
// Writes `code` to the code port. `n` > 0 makes it a pulse: the port
// returns to 0 after n frames; n = 0 leaves the code until the next one.
void sendusbcodebyte(unsigned char code, int n);
// Switches output bit `bitnum` (1-based) of the array on (1) or off (0).
void setusbarraybit(int bitnum, int state);
// Switches all output ports off.
void usboutbytesoff();
// With -logrespbits logs the response port when it has changed.
void log0usbrespbits();
// Waits on the "Ready" screen for `n` pulses of the trigger bit (or a
// change of the trigger port's byte), or F1/F2; clears stimrunningflag.
void waitforusbtrigbits(int n);
void waitforusbtrigbytes(int n);
// Takes the box's pending inputs now and logs them (the waiting screens
// call it as the frames do: what arrives there is logged there).
void diopoll();
// A start: the pulses' volume numbers (vol= of TrigPulse lines) count
// from here.
void dionewstart();
// Why the chosen box has no output bits (nullptr when it may have some).
const char* dionooutputbits();
// True when a box is open (trigger waits then count pulses).
bool dioboxopen();
// Once per frame, before drawing: the frame's time for the output time
// stamps, input polling, pulse ends and the response log;
// `outputsoffatstart`: the run's type drives no output, so the first frame
// of each start switches them all off.
void dioframe(double t, bool outputsoffatstart);
// A type that drives no output switches them off once at the start of each
// run: whether it has since the last reset.
struct BlankOutputsState {
  bool started = false;
};
void resetblankoutputs(BlankOutputsState& s);
BlankOutputsState& blankoutputsstate();
