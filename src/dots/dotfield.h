// The shared dot field: parallel arrays (one entry per dot), random
// placement, random flow parameters, and the primitives that move one dot
// by one step and draw it, flat or as a red/green stereo pair.
//
// Dots are small squares of half-side `dotsize`. The drawing primitives do
// not issue GL calls one by one: they append their squares to a batch that
// goes out in one vertex-array draw per field (dotbatchflush), since one
// glBegin/glEnd per dot costs milliseconds a frame on software GL.
#pragma once

extern float *dotx, *doty, *dotz, *dotdx, *dotdy, *dotrotang, *dotdilscale;

// Sizes the arrays for n dots (entries for 4*ceil(n/4) so the quad fields
// fit). They only ever grow: a smaller count reuses them untouched.
void mkdotarrays(int n);
// Dots the arrays hold now (-1 before the first mkdotarrays).
int dotcount();
// mkdotarrays(n), then n dots scattered in the square +-maxdotxy outside
// minrad (and inside maxrad with usemaxrad); flow entries cleared.
void computedots(int n);
// Whether placement keeps the pair (x, y).
bool dotplaceable(float x, float y);
// Fraction of the placement square that placement keeps (0..1).
double placementfraction(float minrad, float maxrad, int usemaxrad, float maxdotxy);

// U = random() * 2^-31, the draw every random choice here uses.
float dotrand();
void randflowparms(float* dx, float* dy, float* rot, float* dil);
void randmove(float* dx, float* dy, float range);

// A dot's position after a move.
struct DotXY {
  float x, y;
};
// Scale by dil, rotate by rot, translate by (dx, dy).
DotXY flowtransform(float x, float y, float dx, float dy, float rot, float dil);
// The jitter of a background dot that must stay outside the wedge
// (edge1, edge2), with the radial bounce between minrad and maxrad.
DotXY moveoutpos(float x, float y, float dx, float dy, float edge1, float edge2);
// The flow step of a dot that must stay inside the wedge (edge1, edge2).
DotXY movewedgepos(float x, float y, float dx, float dy, float rot, float dil, float edge1, float edge2);
// The ordered edges lo < hi of the wedge (edge1, edge2).
void wedgeorder(float edge1, float edge2, float* lo, float* hi);
// Angle of (x, y) in [0, 2pi) unwrapped against the ordered edges.
float wedgeangle(float x, float y, float lo, float hi);
// Disparity of a stereo dot at scaled position (X, Y) under dotstereotype
// (or the disparity rule `type`).
float dotdisparity(float X, float Y, float dx, float dy, float disp);
float dotdisparity(float X, float Y, float dx, float dy, float disp, int type);
// The eye colours (left, right: r, g, b) and the disparity rule stereo dots
// are drawn with; stereolook() is the run's own.
struct StereoLook {
  float eyes[6];
  int type;
};
StereoLook stereolook();

void drawdot(float x, float y, float dx, float dy, float rot, float dil);
void drawstilldot(float x, float y);
// The same with a half side of its own instead of -dotsize.
void drawdot(float x, float y, float dx, float dy, float rot, float dil, float half);
void drawstilldot(float x, float y, float half);
// A dot square of half-side `half` at (x, y) in the batch; `off` (or null)
// pushes its corners (lower-left, lower-right, upper-right, upper-left) out
// along the diagonals by off[k] half-sides (negative: inward).
void drawdotquad(float x, float y, float half, const float* off);
void movedot(float* x, float* y, float dx, float dy, float rot, float dil);
void moveoutdot(float* x, float* y, float dx, float dy, float edge1, float edge2);
void movewedgedot(float* x, float* y, float dx, float dy, float rot, float dil, float edge1, float edge2);
void drawstdot(float x, float y, float dx, float dy, float rot, float dil, float disp, const StereoLook& k);

// The colour of the dots that follow in the batch.
void dotcolour(float r, float g, float b);
// Draws every dot collected since the last flush and leaves the GL colour
// at the last dot colour. Call before anything else is drawn over the dots.
void dotbatchflush();

void rotate_x(float* v, float a);
void rotate_y(float* v, float a);
void rotate_z(float* v, float a);
void randsphpoint(float* x, float* y, float* z);
void computespherequads(int n);

// Start-up: checks the dot parameters of dot types (refusing a field that
// cannot be placed or sized) and sizes every dot array before the run.
void preparedots();
// Refuses at start-up dots whose largest half-side `half` (display units)
// makes them wider than the window; `with` ends the message's option part.
void refusewidedots(float half, const char* with);
// Per-dot disparities of the stereo flow field (numdots entries).
extern float* dotdisps;
