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
  bool framesrestart = true;  // set with every reset of the drawing state
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
  int framecnt = 0;           // saved frames written
  long picturecnt = 0;        // pictures drawn (frames and wait screens): the marks of one share one target step
  // Saved-frame and rehearsal runs keep the run's clock in frames: each
  // frame is one step of -framerate's frame, and a timer reset counts from
  // the step it happens at. Their log is then the log of a live run at
  // that rate, whatever the saving rate.
  bool frameclock = false;
  long steps = 0;             // frames stepped since the run started
  long stepzero = 0;          // steps at the last timer reset
  double stepphase = 0.0;     // seconds the first step lies after t = 0 (off-grid -firstframetime)
  bool quietf1 = false;       // F1 starts a saved-frame run that logs no start
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
