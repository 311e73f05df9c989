// Run-wide state shared by the frame loop, the key handler and the drawing
// operations (the run parameters live in `par`).
#pragma once

#include <cstdio>

#include "config/params.h"

struct RunState {
  int stimtypeSAV = -1;       // requested type while 120 Hz mode runs type 89
  double starttime = 0.0;     // clock reading of the last timer reset
  long timesec = 0, timeusec = 0;
  int stimrunningflag = 0;    // 1 while frames are drawn
  // Set with every reset of the drawing state; a saved-frame run then counts
  // its frames (and so its t) from 0 again, unless a frame was saved since.
  bool framesrestart = true;
  int predoneflag = 0;        // leading fixation-only period over
  int endperiodlogged = 0;    // the run's "EndPeriod" line is written
  int prepredoneflag = 0;     // pre-saccade fixation test over
  int bgtrackdoneflag = 0;
  float oldt = -1.0f;
  int breakwaitflag = 0;      // a start event ends the trigger wait
  float currstimscale = 1.0f;
  int F5keytoggleflag = 0, F6keytoggleflag = 0, F7keytoggleflag = 0, F8keytoggleflag = 0;
  int bordertoggleflag = 0;
  FILE* fplogfile = nullptr;
  char logfilename[TEXTLEN] = "";
  int debugflag = 0;
  int skipfixationflag = 0;   // the stimulus draws its own fixation, or none
  int somekeytriggerflag = 0;
  int somekeytriggercnt = -1;    // remaining trigger presses
  int somekeytriggerstart = 0;   // initial count, restored by F2
  char sndplayer[TEXTLEN] = "";  // empty: sound skipped
  int framecnt = 0;           // saved-frame counter
  long picturecnt = 0;        // pictures drawn (frames and wait screens): the marks of one share one target step
  // The t of the frame being drawn in a saved-frame run, which its log
  // lines carry; unset before the first frame after each (re)start.
  double framelogt = 0.0;
  bool framelogtset = false;
  int vectstimtype = 0;       // vection quad field shape: 0 sphere, 1 plane, 2 volume
  // The command line, written into the event-log header.
  int argc = 0;
  char** argv = nullptr;
  // Pointer control (display pixels in background-window coordinates).
  int mousectrlresetflag = 1;  // a restart re-centres the pointer
  int isomouseflag = 0;        // pointer range is the centred square
  int sqclampmouseflag = 1;    // in square mode warp the pointer back inside
  int mousex = 0, mousey = 0;
  float mousexgl = 0.0f, mouseygl = 0.0f;
};

extern RunState run;
