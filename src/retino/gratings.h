// Gratings and frequency ramps.
#pragma once

// Random-width bars across the aperture of radius maxrad.
constexpr int MAXBARS = 1024;

// Per-run state of the gratings and ramps.
struct GratingState {
  bool started = false;  // the run's first frame is drawn
  // Rotating bars: the current set, remade gratfreq times per second.
  double accum = 0.0;  // frame time since the set was made
  float baredges[MAXBARS + 1] = {};
  int barcount = 0;
  // Spatial-frequency ramp.
  int laststep = -1, lastrev = -1;
  float orient = 0.0f, phase = 0.0f;
  // Square-wave temporal ramp.
  int flag = 0;
  double nextflip = -0.001;
  // Sinusoidal temporal ramp.
  double nextstart = -0.001, period = 1.0;
  int lastprinted = -1;
};
void resetgratings(GratingState& s);
GratingState& gratingstate();

void drawsingratramp(GratingState& s, double t);
void drawtempfreqrampsq(GratingState& s, double t);
void drawtempfreqrampsin(GratingState& s, double t);
void draworient(GratingState& s, double t, double tprev);
void draworientquadrants(GratingState& s, double t, double tprev);
// The same with the module's own state.
void drawsingratramp(double t);
void drawtempfreqrampsq(double t);
void drawtempfreqrampsin(double t);
void draworient(double t, double tprev);
void draworientquadrants(double t, double tprev);
// Fills edges[0..n] (n bars: edge -maxrad, then the running sum of widths
// uniform in [minbar, maxbar] less maxrad, the last edge maxrad) and returns
// n, or -1 when more than MAXBARS bars would be needed.
int makebaredges(float* edges, float maxrad, float minbar, float maxbar);
// Half-height of the circle-clipped bar edge at x = e.
float barhalfheight(float e, float maxrad);
// Grating orientation in degrees at t before the jerk target: one turn per
// polar period, the wobble, plus 90 (bars across the horizontal at t = 0).
float gratingorientation(double t);
// Palette entry of bar j in quadrant q (q < 0: the whole-field grating).
int barentry(int j, int q, int nbars);

// Spatial-frequency ramp: the step of the ramp at t (-1 in the blank start
// of each ramp) and the cycles over the window height of a step.
int sframpstep(double t);
float sframpcycles(int step);
// One horizontal sinusoidal grating over the window, amplitude 0.4 about
// the background grey.
void rendersingrat(float cycles, float phase);

// The wedge's quads at time t (no modifiers), vertex pairs in wedge order,
// entry i*nrad + j; allocated when given none.
using QuadList = float (*)[8];
QuadList savepolar(double t, int nrad, int ntheta, QuadList quads);
// Flicker period of the sinusoidal temporal ramp at ramp phase f in [0, 1),
// and the straight ramp of the square-wave one.
float tempramperiod(float f);
float tempramplinear(float f);
// The next flip or period start after `due`, `step` seconds on, reached by
// the frame at t: counted from `due` (a whole step late: from t).
double nextdue(double due, double t, double step);

// The bars between edges[0..nbars], whole field or one quadrant's colours.
void drawsqgrat(const float* edges, int nbars);
void drawsqgratquadrants(const float* edges, int nbars, int quadrant);
void drawquadrantstencils();
