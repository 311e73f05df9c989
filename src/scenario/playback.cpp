#include "scenario/playback.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/projection.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/trigger.h"
#include "core/window.h"
#include "core/xit.h"
#include "devices/dio.h"
#include "draw/drawimg.h"
#include "draw/fonts.h"
#include "draw/masks.h"
#include "draw/tiffio.h"
#include "scenario/palfile.h"
#include "scenario/pgifile.h"
#include "scenario/scnerror.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kDashes = "------------------------------------------------------";

PlaybackState playback;
int& frame = playback.frame;
int& lastframe = playback.lastframe;
int& lastarraybitnum = playback.lastarraybitnum;
int& portbit = playback.portbit;
int& portcode = playback.portcode;
int& heldslot = playback.heldslot;

float unitsperpixel() {
  const Extents e = windowextents(par.winxgl, par.winygl);
  return 2.0f * e.iwinxgl / par.winxgl;
}

bool readablefile(const char* path) {
  FILE* f = openfile(path, "r");
  if (f) std::fclose(f);
  return f != nullptr;
}

[[noreturn]] void loadfail(const char* what, const ExptItem* it) {
  fatal("vistrum: ### %s %s not found\nvistrum: ### named at line %d of %s\n", what, it->name, it->lineno, exptpath);
}

// Picture of an rgb or background item: loaded once per file name.
void loadpicture(ExptItem* it, int first, int* last) {
  char path[2 * TEXTLEN];
  exptrelative(it->name, path, sizeof path);
  int index = -1;
  for (int k = first; k >= 0 && k <= *last && index < 0; k++)
    if (!std::strcmp(memimgs[k]->name, path)) index = k;
  if (index < 0) {
    if (!readablefile(path)) loadfail(it->kind == KBGIMG ? "background image" : "image file", it);
    index = readtiff(path);
    *last = index;
  }
  it->imgindex = index;
  float dx = 0.0f, dy = 0.0f;
  lblo2centdxy(it->lblo, memimgs[index]->width, memimgs[index]->height, &dx, &dy, it->size, unitsperpixel());
  it->xoff += dx;
  it->yoff += dy;
}

// A sound that cannot play would only show up mid-run: check it now.
void checksound(const ExptItem* it) {
  if (!readablefile(soundpath(it->name).c_str())) loadfail("sound file", it);
}

void setpalettecolour(int index) {
  glColor3ub(static_cast<GLubyte>(rpalette[index] & 0xff), static_cast<GLubyte>(gpalette[index] & 0xff),
             static_cast<GLubyte>(bpalette[index] & 0xff));
}

void drawtext(const ExptItem* it) {
  if (!it->name[0]) return;
  if (it->color == -1)
    glColor3f(1.0f, 1.0f, 1.0f);
  else
    setpalettecolour(it->color);
  float h = it->size == -1.0f ? par.exptfontsize : it->size;
  if (it->font == 1) h *= par.font2to1scale;
  if (it->font == 2) h *= par.font3to1scale;
  drawstr(it->name, it->xoff, it->yoff, h, it->lblo, it->font);
}

// All filled rectangles of an item in one batch, then all outlines in one.
void drawrects(const ExptItem* it) {
  glBegin(GL_QUADS);
  for (int k = 0; k < it->rectcnt; k++) {
    const PgiRect& r = it->rects[k];
    if (!r.filled) continue;
    glColor3ub(static_cast<GLubyte>(r.r), static_cast<GLubyte>(r.g), static_cast<GLubyte>(r.b));
    for (int c = 0; c < 4; c++) glVertex2f(r.x[c], r.y[c]);
  }
  glEnd();
  glLineWidth(1.0f);
  glBegin(GL_LINES);
  for (int k = 0; k < it->rectcnt; k++) {
    const PgiRect& r = it->rects[k];
    if (r.filled) continue;
    glColor3ub(static_cast<GLubyte>(r.r), static_cast<GLubyte>(r.g), static_cast<GLubyte>(r.b));
    for (int c = 0; c < 4; c++) {
      glVertex2f(r.x[c], r.y[c]);
      glVertex2f(r.x[(c + 1) % 4], r.y[(c + 1) % 4]);
    }
  }
  glEnd();
}

// The picture's lower-left corner is at (xoff, yoff) (the grab point was
// applied at load time); `size` pixels tall, else its own height.
void drawpicture(const ExptItem* it) {
  const MemImg* img = memimgs[it->imgindex];
  const float upp = 2.0f * dsp.iwinxgl / par.winxgl;
  const float h = (it->size == -1.0f ? static_cast<float>(img->height) : it->size) * upp;
  // Scenario pictures stay where the file puts them, also partly off-screen.
  drawimg(it->imgindex, it->xoff, it->yoff, h, ANCHOR_LOWERLEFT, false);
}

void playsound(ExptItem* it) {
  if (it->sndplayed) return;
  it->sndplayed = 1;
  playnamedaudfile(it->name);
}

// The event's output bit (0-based, -1 none) is on while its slot is shown.
void setoutputbit(int bit) {
  if (bit == portbit) return;
  if (portbit >= 0) setusbarraybit(portbit + 1, 0);
  if (bit >= 0) setusbarraybit(bit + 1, 1);
  portbit = bit;
}

// The code stays on the port while its event is shown; slots without one
// put 0 there.
void sendcode(int code) {
  if (!par.sxcode2ttlflag) return;
  sendusbcodebyte(static_cast<unsigned char>(code), 0);
  portcode = code;
}

// Outputs return to rest between runs.
void outputsoff() {
  setoutputbit(-1);
  lastarraybitnum = -1;
  sendcode(0);
  heldslot = -1;
}

// The outputs of a new slot. An event with the same bit or code as the one
// before would leave the port as it is, and the receiver would see one
// long event: its outputs then start a frame late, after one frame of
// zero, so that every onset shows on the port.
void newslotoutputs(int slot, int bit, int code) {
  const bool repeat = (bit >= 0 && bit == portbit) || (par.sxcode2ttlflag && code != 0 && code == portcode);
  if (repeat) {
    setoutputbit(-1);
    sendcode(0);
    heldslot = slot;
    return;
  }
  setoutputbit(bit);
  sendcode(code);
  heldslot = -1;
}

void restartplayback() {
  frame = 0;
  lastframe = 0;
  outputsoff();
  for (int s = 0; s < exptframecnt; s++)
    for (int k = 0; k < exptframes[s].subframecnt; k++) exptframes[s].subframes[k]->sndplayed = 0;
  playback.started = true;
}

}  // namespace

void lblo2centdxy(int lblo, int w, int h, float* dx, float* dy, float size, float unitsperpix) {
  // The picture's own anchor offsets, unclamped: the same grab points as
  // everywhere else, applied once at load time.
  const float height = (size == -1.0f ? static_cast<float>(h) : size) * unitsperpix;
  const ImgPlace p = imgplacement(w, h, 0.0f, 0.0f, height, lblo, unitsperpix, 0.0f, 0.0f, false);
  *dx = p.X;
  *dy = p.Y;
}

int exptslot(double t, int from, const ExptFrame* frames, int cnt) {
  int f = from;
  while (f < cnt && t > frames[f].endtime) f++;
  return f;
}

bool loggablecode(int code) { return code != -1 && code != 99; }

int loadexpt(int n) {
  const int first = memimgcnt;  // pictures loaded here start after any others
  int last = -1;
  std::string err;
  if (exptsndflag && !par.sndprog[0])
    fatal("vistrum: ### no sndprog\nvistrum: ### the sounds of %s need a player (-sndprog)\n", exptpath);
  for (int s = 0; s < n; s++) {
    for (int k = 0; k < exptframes[s].subframecnt; k++) {
      ExptItem* it = exptframes[s].subframes[k];
      if (it->kind == KRGB || it->kind == KBGIMG) loadpicture(it, first, &last);
      if (it->kind == KSND) checksound(it);
    }
    if (!readloadpgifiles(s, err)) fatal("%s", err.c_str());
  }
  std::printf("%s\n", kDashes);
  std::printf("vistrum: total image memory: %4.2f MB\n", totalimgmb);
  std::printf("%s\n", kDashes);
  return last;
}

void checkscenariobits() {
  if (!dioboxopen()) return;
  const int n = dioutputbitcount();
  for (int s = 0; s < exptframecnt; s++)
    for (int k = 0; k < exptframes[s].subframecnt; k++) {
      const ExptItem* it = exptframes[s].subframes[k];
      if (it->kind != KTTL || it->ttlbit <= n) continue;
      if (n == 0 && dionooutputbits())
        fatal("vistrum: ### %s line %d: ttl=%d but %s\n", exptpath, it->lineno, it->ttlbit, dionooutputbits());
      fatal("vistrum: ### %s line %d: ttl=%d but the output bits (-addport2set) are 1-%d\n", exptpath, it->lineno,
            it->ttlbit, n);
    }
}

PlaybackState& playbackstate() { return playback; }

void resetplayback(PlaybackState& s) { s.started = false; }

void drawexpt(double t) {
  if (!playback.started) restartplayback();
  lastframe = frame;
  frame = exptslot(t, frame, exptframes, exptframecnt);
  if (frame >= exptframecnt) {
    outputsoff();
    if (logging()) logevent("SXExptDone: %9.3lf\n", t);
    clearreadywaitsett(0, "Done");
    return;
  }
  const ExptFrame& fr = exptframes[frame];
  if (par.bgimgfileflag) drawpicture(exptframes[0].subframes[0]);

  int bit = -1;
  for (int k = 0; k < fr.subframecnt; k++) {
    ExptItem* it = fr.subframes[k];
    switch (it->kind) {
      case KRGB: drawpicture(it); break;
      case KPGI: drawrects(it); break;
      case KTEXT: drawtext(it); break;
      case KTTL: bit = it->ttlbit - 1; break;
      case KSND: playsound(it); break;
      default: break;
    }
  }
  const int code = loggablecode(fr.code) ? fr.code : 0;
  if (frame != lastframe) {
    newslotoutputs(frame, bit, code);
    // The frame's own time: a saved frame's t, or the timer read for this frame.
    if (par.usesxcodeflag && logging() && loggablecode(fr.code)) {
      // The event's length as the file gives it, and its name if the file
      // names the code: what an events table needs and the time alone lacks.
      const double from = frame > 0 && exptframes[frame - 1].endtime > 0.0 ? exptframes[frame - 1].endtime : 0.0;
      const char* name = exptcodename(fr.code);
      logevent("SXCdeEvent: %7.3lf   %d   dur=%.3lf%s%s\n", t, fr.code, fr.endtime - from, name ? " name=" : "",
               name ? name : "");
    }
  } else if (heldslot == frame) {
    setoutputbit(bit);
    sendcode(code);
    heldslot = -1;
  }
  lastarraybitnum = bit;
  if (par.polwidth != 0.0f) polarmask(t);
  if (par.eccwidth != 0.0f) eccenmask(t);
}
