// Small filled polygons in the current colour, one glBegin/glEnd each.
#pragma once

// Axis-aligned square of side `size` centred at (x, y).
void drawsquare(float x, float y, float size);
// Rectangle with corners (x, y), (x+w, y), (x+w, y+h), (x, y+h).
void drawrect(float x, float y, float w, float h);
// Square of half-side size/2 whose corners are pushed out along the diagonals
// by off[k] half-sides (lower-left, lower-right, upper-right, upper-left).
void drawquadoff(float x, float y, float size, const float off[4]);
void drawquadvrt(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
void drawtrivrt(float x1, float y1, float x2, float y2, float x3, float y3);

// Annular sector between radii rin, rout and angles a, b: one quad
// (rin, a), (rout, a), (rout, b), (rin, b), split as drawsectorspan does.
void drawsector(float rin, float rout, float a, float b);
// The same with the cosines and sines of a and b given (a column of checks
// shares its angles).
// dx shifts it horizontally (a disparity shift without a matrix change,
// which costs a software renderer more than the quad). With `inbatch` the
// caller holds a glBegin(GL_QUADS) open and only the vertices go out (a
// board of many checks costs one begin/end instead of one per check).
void drawsectorcs(float rin, float rout, float ca, float sa, float cb, float sb, float dx = 0.0f,
                  bool inbatch = false);
// Sector from angle a to b (cosines and sines given as above): one quad
// while it spans at most SECTORQUADMAX, else sectorpieces(b - a) quads side
// by side, so a wide check (a ring of one or two angular checks, a
// hemifield of one) stays round instead of collapsing to a chord or a line.
void drawsectorspan(float rin, float rout, float a, float b, float ca, float sa, float cb, float sb, float dx = 0.0f,
                    bool inbatch = false);
constexpr float SECTORQUADMAX = 0.3926991f;  // pi/8
// Number of quads a sector spanning `span` radians is drawn with.
int sectorpieces(float span);

// Checkerboards are opaque: they are filled with the alpha test off (a
// software rasteriser cannot skip hidden work under a test that may discard
// fragments). Returns whether it was on, for opaquefillend to restore.
int opaquefillbegin();
void opaquefillend(int wason);
