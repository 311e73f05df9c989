// Start-up from the command line to the first frame, and the frame loop.
#pragma once

// The whole program; returns only through xit().
[[noreturn]] void vistrummain(int argc, char** argv);

// The first-argument rule: 0 continue, 1 exit silently (nothing to run),
// 2 bad first word.
int firstargcheck(int argc, char** argv);
// The type number of the second word (decimal; text that is no number gives 0).
int readstimtype(const char* word);
// Answers whether an external command is on the search path.
int foundcmd(const char* name);
void checkntpd();
// Chooses the sound player for this platform ("" when none).
void choosesoundplayer();

// Fixation-only periods before and after the stimulus.
int isprepostper(double t);
[[noreturn]] void frameloop();
