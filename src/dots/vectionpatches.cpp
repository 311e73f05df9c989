#include "dots/vection.h"
#include "dots/vectionpatches.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "dots/flowfields.h"
#include "draw/fixation.h"
#include "draw/imagestreams.h"
#include "draw/palette.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Per-patch rotation axes, the rotated corners (x, y, z each) and the
// corner pairs of the outline edges, all sized before the run.
float *axisx = nullptr, *axisy = nullptr, *axisz = nullptr;
float* patchvert = nullptr;
GLuint* edgeidx = nullptr;
int patchcap = 0;  // patches the buffers hold

int patchcount(int n) {
  const int p = (n + 3) / 4;
  return p < patchcap ? p : patchcap;
}

// The current projection times modelview (column-major), which takes a
// patch corner to clip coordinates.
void clipmatrix(float* m) {
  float pr[16] = {}, mv[16] = {};  // zero when no context answers (a rehearsal)
  glGetFloatv(GL_PROJECTION_MATRIX, pr);
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  for (int c = 0; c < 4; c++)
    for (int r = 0; r < 4; r++) {
      float v = 0.0f;
      for (int k = 0; k < 4; k++) v += pr[4 * k + r] * mv[4 * c + k];
      m[4 * c + r] = v;
    }
}

// Whether all four corners (12 floats) lie beyond one clip plane: such a
// patch shows nothing. Half of a sphere's patches lie in front of the near
// plane and many more outside the window, and the software rasteriser pays
// for every primitive it is given, clipped or not.
bool patchhidden(const float* m, const float* v) {
  int out[6] = {0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 4; i++) {
    const float x = v[3 * i], y = v[3 * i + 1], z = v[3 * i + 2];
    float c[4];
    for (int r = 0; r < 4; r++) c[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
    for (int a = 0; a < 3; a++) {
      out[2 * a] += c[a] < -c[3];
      out[2 * a + 1] += c[a] > c[3];
    }
  }
  for (int p : out)
    if (p == 4) return true;
  return false;
}

// Draws the cloud as the eye at `eyedeg` degrees about y sees it, each
// patch turned by `deg` about its own axis (`own`) or about `common`.
void drawcloud(int n, float eyedeg, float deg, bool own, const float common[3], bool lines) {
  const int np = patchcount(n);
  glPushMatrix();
  glRotatef(eyedeg, 0.0f, 1.0f, 0.0f);
  float m[16];
  clipmatrix(m);
  float r[9];
  axismatrix(common, deg, r);
  int kept = 0;
  for (int k = 0; k < np; k++) {
    if (own) {
      const float ownaxis[3] = {axisx[k], axisy[k], axisz[k]};
      axismatrix(ownaxis, deg, r);
    }
    float* v = patchvert + 12 * kept;
    for (int i = 0; i < 4; i++) {
      const float x = dotx[4 * k + i], y = doty[4 * k + i], z = dotz[4 * k + i];
      for (int q = 0; q < 3; q++) v[3 * i + q] = r[3 * q] * x + r[3 * q + 1] * y + r[3 * q + 2] * z;
    }
    if (!patchhidden(m, v)) kept++;
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, patchvert);
  if (lines) {
    glLineWidth(par.stereoline);
    glDrawElements(GL_LINES, 8 * kept, GL_UNSIGNED_INT, edgeidx);
  } else {
    glDrawArrays(GL_QUADS, 0, 4 * kept);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
}

// The fixation of the patch clouds: with stereo one mark per eye on the
// far side of the sphere, each seen by its eye; else the plain mark of the
// run's state: a red cross for a run started without stereo, the combined
// mark once stereo has been shown.
void patchfixation(VectionState& s, double t, bool stereo) {
  if (!stereo) {
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, fixmarkoftype(s.plainmark));
    return;
  }
  glPushMatrix();
  glRotatef(par.stereorotdeg / 2.0f, 0.0f, 1.0f, 0.0f);
  drawfixation(0.0f, 0.0f, -par.sphererad, par.fixbright, t, fixmarkoftype(6));
  glRotatef(-par.stereorotdeg, 0.0f, 1.0f, 0.0f);
  drawfixation(0.0f, 0.0f, -par.sphererad, par.fixbright, t, fixmarkoftype(7));
  glPopMatrix();
  s.plainmark = 5;
}

// New patches when the re-randomisation phase wraps.
void rerandomise(double t, int n, double* prev) {
  const double p = fracphase(par.randfreq * t);
  if (p < *prev) computespherequads(n);
  *prev = p;
}

}  // namespace

void axismatrix(const float axis[3], float deg, float* r) {
  const double len = std::sqrt(static_cast<double>(axis[0]) * axis[0] + static_cast<double>(axis[1]) * axis[1] +
                               static_cast<double>(axis[2]) * axis[2]);
  if (!(len > 0.0)) {
    for (int k = 0; k < 9; k++) r[k] = k % 4 == 0 ? 1.0f : 0.0f;
    return;
  }
  const double x = axis[0] / len, y = axis[1] / len, z = axis[2] / len;
  const double a = deg * M_PI / 180.0, c = std::cos(a), s = std::sin(a), d = 1.0 - c;
  // Rodrigues: v cos a + (u x v) sin a + u (u.v)(1 - cos a), row by row.
  const double m[9] = {x * x * d + c,     x * y * d - z * s, x * z * d + y * s,
                       y * x * d + z * s, y * y * d + c,     y * z * d - x * s,
                       z * x * d - y * s, z * y * d + x * s, z * z * d + c};
  for (int k = 0; k < 9; k++) r[k] = static_cast<float>(m[k]);
}

void rotateaxis(float* v, const float axis[3], float deg) {
  float r[9];
  axismatrix(axis, deg, r);
  const float x = v[0], y = v[1], z = v[2];
  for (int i = 0; i < 3; i++) v[i] = r[3 * i] * x + r[3 * i + 1] * y + r[3 * i + 2] * z;
}

float patchrotation(double p) {
  const double u = par.sinusoidtype == 3 ? 2.0 * p : p;
  return static_cast<float>(sinusoidprofile(u, par.sinusoidtype) * par.dotspeed);
}

bool canalaxis(const char* name, float axis[3], bool* moves) {
  struct Canal {
    const char* name;
    float x, y, z;
    bool moves;
  };
  static const Canal canals[] = {
      {"still", 1, 1, 1, false}, {"horiz", 0, 2, -1, true}, {"left", 1, 0, -1, true}, {"right", -1, 0, -1, true}};
  for (const Canal& c : canals) {
    if (std::strcmp(name, c.name) != 0) continue;
    axis[0] = c.x, axis[1] = c.y, axis[2] = c.z;
    *moves = c.moves;
    return true;
  }
  return false;
}

void preparepatches(int n) {
  const int np = (n > 0 ? n + 3 : 3) / 4;
  if (np <= patchcap) return;
  std::free(axisx), std::free(axisy), std::free(axisz), std::free(patchvert), std::free(edgeidx);
  axisx = static_cast<float*>(std::calloc(np + 1, sizeof(float)));
  axisy = static_cast<float*>(std::calloc(np + 1, sizeof(float)));
  axisz = static_cast<float*>(std::calloc(np + 1, sizeof(float)));
  patchvert = static_cast<float*>(std::calloc(12 * (np + 1), sizeof(float)));
  edgeidx = static_cast<GLuint*>(std::calloc(8 * (np + 1), sizeof(GLuint)));
  if (!axisx || !axisy || !axisz || !patchvert || !edgeidx) fatal("vistrum: ### malloc dot arrays failed\n");
  for (int k = 0; k < np; k++) {
    const GLuint b = 4 * k;
    const GLuint e[8] = {b, b + 1, b + 1, b + 2, b + 2, b + 3, b + 3, b};
    for (int i = 0; i < 8; i++) edgeidx[8 * k + i] = e[i];
  }
  patchcap = np;
}

void drawvecvsscram(VectionState& s, double t, int ndots) {
  if (!s.started) {
    s.grey = getbwdotcolor();
    s.plainmark = par.stereoflag ? par.fixtype : 0;
    s.started = true;
  }
  rerandomise(t, ndots, &s.prevrand);
  const double p = fracphase(par.flowfreq * t);
  if (p < s.prevflow) {
    // The block in force when the flow starts holds for the whole flow.
    s.scrambled = scrambledblock(t);
    const int np = patchcount(ndots);
    if (s.scrambled)
      for (int k = 0; k < np; k++) randsphpoint(&axisx[k], &axisy[k], &axisz[k]);
    else
      randsphpoint(&s.common[0], &s.common[1], &s.common[2]);
  }
  s.prevflow = p;
  const float deg = patchrotation(p);
  const bool lines = par.quadlinesflag != 0;
  if (par.stereoflag)
    glColor3f(par.stereoLred, par.stereoLgrn, par.stereoLblu);
  else
    glColor3f(s.grey, s.grey, s.grey);
  drawcloud(ndots, par.stereorotdeg / 2.0f, deg, s.scrambled != 0, s.common, lines);
  if (par.stereoflag) {
    glColor3f(par.stereoRred, par.stereoRgrn, par.stereoRblu);
    drawcloud(ndots, -par.stereorotdeg / 2.0f, deg, s.scrambled != 0, s.common, lines);
  }
  patchfixation(s, t, par.stereoflag != 0);
}

void drawvec3canal(VectionState& s, double t, int ndots) {
  if (!s.started) {
    s.grey = getbwdotcolor();
    s.plainmark = run.F6keytoggleflag ? par.fixtype : 0;
    restartcondseq();  // the block sequence starts again
    s.started = true;
  }
  // F6 and F5 switch stereo and outlines (from -stereo and -quadlines at start-up).
  const bool stereo = run.F6keytoggleflag != 0;
  const bool lines = stereo || run.F5keytoggleflag != 0;  // two overlapping eyes need outlines
  rerandomise(t, ndots, &s.prevrand);
  const int c = getlogcondition(t, par.condcnt);
  if (c < 0 || c >= static_cast<int>(par.condnames.size())) return;
  float axis[3];
  bool moves = false;
  if (!canalaxis(par.condnames[c].c_str(), axis, &moves))
    fatal("vistrum: ### bad condition: %s\nvistrum: [still,horiz,left,right]\n", par.condnames[c].c_str());
  const double u = (t - run.oldt) * par.wobblefreq;
  const float deg = moves ? static_cast<float>(sinusoidprofile(u, par.sinusoidtype) * par.dotspeed) : 0.0f;
  if (stereo)
    glColor3f(par.stereoLred, par.stereoLgrn, par.stereoLblu);
  else
    glColor3f(s.grey, s.grey, s.grey);
  drawcloud(ndots, par.stereorotdeg / 2.0f, deg, false, axis, lines);
  if (stereo) {
    glColor3f(par.stereoRred, par.stereoRgrn, par.stereoRblu);
    drawcloud(ndots, -par.stereorotdeg / 2.0f, deg, false, axis, true);
  }
  patchfixation(s, t, stereo);
}
