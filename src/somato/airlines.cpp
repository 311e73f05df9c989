// Air puffs swept along the lines of a tube grid over the face, and along
// one half of the tubes.
#include "config/params.h"
#include "core/xit.h"
#include "draw/fonts.h"
#include "somato/airout.h"
#include "somato/airpuff.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>

namespace {

double uniform(double range) { return random() * (1.0 / 2147483648.0) * 2.0 * range - range; }

// Starts the next puff when its time has come; true when one started. The
// puff keeps its scheduled times (a frame only notices it), unless frames
// came so late that it would be over already.
bool trainstep(PuffTrain& p, double t, double gap) {
  if (t < p.nextpuff) return false;
  p.prevend = p.puffend;
  p.puffstart = t < p.nextpuff + par.puffdur ? p.nextpuff : t;
  p.puffend = p.puffstart + par.puffdur;
  p.nextpuff = p.puffend + gap;
  return true;
}

void trainvalve(const PuffTrain& p, double t, bool on, int tube) {
  airvalvedelayed(t, on ? tube : 0, on ? p.puffstart : (p.puffend > 0.0 ? p.puffend : t), p.prevend);
}

// Sweep index over m places, counted from the other end for a negative rate.
int sweepindex(double t, float rate, int m) {
  const int f = sweepposition(t, rate, m);
  return rate < 0.0f ? m - 1 - f : f;
}

}  // namespace

int lineairindex(int type, int line, int within, int cols) {
  // Row by row: a horizontal line (104) is a row, a vertical line (105) a column.
  return type == 104 ? within + line * cols : line + within * cols;
}

void drawphaselineair(AirState& s, double t) {
  PuffTrain& train = s.train;
  const int rows = par.airgridrows, cols = par.airgridcols, type = par.stimtype;
  const int lines = type == 104 ? rows : cols, perline = type == 104 ? cols : rows;
  if (!s.started) {
    train = PuffTrain{};
    airvalvesreset();
    s.started = true;
  }
  if (trainstep(train, t, par.gapdur)) {
    train.line = sweepindex(train.puffstart, par.linefreq, lines);
    if (par.randlineflag && perline > 1) {
      int w = 0;
      do {
        w = static_cast<int>(random() % perline);
      } while (w == train.within);
      train.within = w;
    } else {
      train.within = (train.within + 1) % perline;
    }
  }
  const bool on = t < train.puffend;
  const int f = train.line;
  trainvalve(train, t, on, airtube(lineairindex(type, f, train.within, cols)));
  const float side = 2.0f * par.maxrad / static_cast<float>(std::max(rows, cols));
  glColor3f(1.0f, 1.0f, 1.0f);
  drawstr("upper right", -0.5f * cols * side, 0.5f * rows * side + 0.1f, par.avgfontsize, 0, 0);
  drawstr("(subject)", -0.5f * cols * side, 0.5f * rows * side + 0.03f, par.avgfontsize, 0, 0);
  if (!on) return;
  const int row = type == 104 ? f : train.within, col = type == 104 ? train.within : f;
  airsquare((col - 0.5f * (cols - 1)) * side, (0.5f * (rows - 1) - row) * side);
}

void drawphasehalfpointsair(AirState& s, double t, int half) {
  PuffTrain& train = s.train;
  const int m = par.airtubes / 2;
  if (!s.started) {
    if (par.airtubes % 2 != 0) fatal("vistrum: ### requires even num airtubes\n");
    if (par.gapdur <= par.puffjitt) fatal("vistrum: ### puffjitt>=gapdur\n");
    train = PuffTrain{};
    airvalvesreset();
    s.started = true;
  }
  // The gap's jitter is drawn once per gap, so the random stream does not
  // depend on the frame rate.
  if (trainstep(train, t, par.gapdur)) {
    train.nextpuff += uniform(par.puffjitt);
    train.line = sweepindex(train.puffstart, par.linefreq, m);
  }
  const int h = train.line;
  const bool on = t < train.puffend;
  trainvalve(train, t, on, airtube(h + half * m));
  glColor3f(1.0f, 1.0f, 1.0f);
  drawstr(half ? "2nd half" : "1st half", 0.0f, 1.0f, par.avgfontsize, 5, 0);
  if (!on) return;
  const float sp = 2.0f * par.maxrad / m, c = (h - 0.5f * (m - 1)) * sp;
  if (half)
    airsquare(c, 0.0f);
  else
    airsquare(0.0f, -c);
}
