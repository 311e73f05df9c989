#include "config/condseq.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/trigger.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// The design of the run.
struct CondSeqState {
  bool started = false;
  std::vector<int> condorder;  // kept allocated from run to run
  int condi = 0;
  int blocknum = 0;
  int condnum = 0;
  float lastblockphase = FIRSTBLOCKPHASE;
  bool designdone = false;  // the -condlist order is used up
};
CondSeqState seq;
std::vector<int>& condorder = seq.condorder;
int& condi = seq.condi;
int& blocknum = seq.blocknum;
int& condnum = seq.condnum;
float& lastblockphase = seq.lastblockphase;
bool& designdone = seq.designdone;

template <typename T>
void shufflevalues(T* values, int n) {
  for (int j = 0; j + 1 < n; j++) {
    const int k = j + static_cast<int>(random() % (n - j));
    std::swap(values[j], values[k]);
  }
}

// Blocks in the given order (the count and the list always agree after
// parsing; the smaller is taken so that a mismatch can never read past the list).
int orderlength() {
  const int n = static_cast<int>(par.condlist.size());
  return par.condlistcnt < n ? par.condlistcnt : n;
}

const char* condname(int c) {
  if (c >= 0 && c < static_cast<int>(par.condnames.size())) return par.condnames[c].c_str();
  return "?";
}

void recordchange(double now) {
  logevent("StimEvent: %8.3lf   %s (%d)\n", now, condname(condnum), condnum);
  std::printf("StimEvent: %8.3lf   %s (%d)\n", now, condname(condnum), condnum);
  // Without a log this is the only record of the order: a killed run must keep it.
  std::fflush(stdout);
}

// Reshuffles until the first entry differs from `avoid`; one condition
// cannot differ from itself, so it is left as it is.
void shuffleuntilfirstnot(int avoid, int n) {
  if (n < 2) return;
  do shuffle(condorder.data(), n);
  while (condorder[0] == avoid);
}

void startdesign(int n) {
  const double now = logtime();
  designdone = false;
  if (orderlength() > 0) {
    blocknum = 0;
    condnum = par.condlist[0];
  } else {
    if (static_cast<int>(condorder.size()) != n) condorder.assign(n > 0 ? n : 1, 0);
    for (int i = 0; i < n; i++) condorder[i] = i;
    shuffleuntilfirstnot(0, n);  // a random design never opens with "off"
    condi = 0;
    condnum = condorder[0];
  }
  if (logging()) {
    logevent("InitRndBlk: %8.3lf   CondCnt=%d\n", now, n);
  } else {
    std::printf("############################################################\n");
    std::printf("vistrum: ### text below is only record of randblock paradigm!\n");
    std::printf("vistrum: ### should use -logfile (-logfiledir) instead\n");
    std::printf("############################################################\n");
    std::printf("InitRndBlk: %8.3lf   CondCount=%d\n", now, n);
  }
  recordchange(now);
  seq.started = true;
  lastblockphase = FIRSTBLOCKPHASE;
}

}  // namespace

void shuffle(int* values, int n) { shufflevalues(values, n); }
void fshuffle(float* values, int n) { shufflevalues(values, n); }

float blockphase(double t, float blockfreq) {
  const double x = static_cast<double>(blockfreq) * t;
  return static_cast<float>(x - std::floor(x));
}

void restartcondseq() { seq.started = false; }

int getlogcondition(double t, int n) {
  if (!seq.started) startdesign(n);
  // The "Done" screen is drawn into the current frame; the frame loop swaps it.
  if (designdone) {
    drawwaitscreen("Done");
    return -1;
  }
  // A block sequence has no direction: a negative -blockperiod means blocks
  // of its length (its phase would otherwise fall every frame, starting a
  // new block each time).
  const float phase = blockphase(t, std::fabs(par.blockfreq));
  if (isnewblock(phase, lastblockphase)) {
    if (orderlength() > 0) {
      if (++blocknum >= orderlength()) {
        // Logged once: the caller keeps asking every frame until a restart.
        designdone = true;
        logevent("RndBlkExptDone: %9.3lf\n", logtime());
        drawwaitscreen("Done");
        return -1;
      }
      condnum = par.condlist[blocknum];
    } else {
      if (++condi >= n) {
        condi = 0;
        shuffleuntilfirstnot(condnum, n);  // no repeat across the seam
      }
      condnum = condorder[condi];
    }
    recordchange(logtime());
  }
  lastblockphase = phase;
  return condnum;
}
