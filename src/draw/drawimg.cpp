#include "draw/drawimg.h"

#include "config/params.h"
#include "core/benchlayers.h"
#include "core/runstate.h"
#include "core/window.h"
#include "draw/tiffio.h"

#include <GL/gl.h>

ImgPlace imgplacement(int w, int h, float x, float y, float height, int anchor, float unitsperpix, float halfw,
                      float halfh, bool clamp) {
  const float wn = w * unitsperpix, hn = h * unitsperpix;
  ImgPlace p;
  p.z = hn > 0.0f ? height / hn : 0.0f;
  p.W = wn * p.z;
  p.H = hn * p.z;
  float ox = 0.0f, oy = 0.0f;
  switch (anchor) {
    case ANCHOR_LOWERRIGHT: ox = -p.W; break;
    case ANCHOR_LEFTMIDDLE: oy = -p.H / 2.0f; break;
    case ANCHOR_BOTTOMMIDDLE: ox = -p.W / 2.0f; break;
    case ANCHOR_CENTRE: ox = -p.W / 2.0f; oy = -p.H / 2.0f; break;
    case ANCHOR_RIGHTMIDDLE: ox = -p.W; oy = -p.H / 2.0f; break;
    default: break;
  }
  p.X = x + ox;
  p.Y = y + oy;
  if (clamp) {
    if (p.X < -halfw) p.X = -halfw + 0.0001f;
    if (p.X + p.W > halfw) p.X = halfw - p.W - 0.0001f;
    if (p.Y < -halfh) p.Y = -halfh + 0.0001f;
    if (p.Y + p.H > halfh) p.Y = halfh - p.H - 0.0001f;
  }
  return p;
}

namespace {

// Sets a capability for one picture and puts back what the caller had: the
// start-up alpha test (which text drawing relies on) must survive an opaque
// or blended picture.
class Capability {
 public:
  Capability(GLenum cap, bool on) : cap_(cap), was_(glIsEnabled(cap) == GL_TRUE) {
    if (on != was_) on ? glEnable(cap) : glDisable(cap);
    changed_ = on != was_;
  }
  ~Capability() {
    if (changed_) was_ ? glEnable(cap_) : glDisable(cap_);
  }
  Capability(const Capability&) = delete;
  Capability& operator=(const Capability&) = delete;

 private:
  GLenum cap_;
  bool was_;
  bool changed_ = false;
};

void rasterfrom(float X, float Y, float unitsperpix) {
  glRasterPos2f(0.0f, 0.0f);
  glBitmap(0, 0, 0.0f, 0.0f, X / unitsperpix, Y / unitsperpix, nullptr);
}

}  // namespace

void drawimg(int index, float x, float y, float height, int anchor) {
  drawimg(index, x, y, height, anchor, par.clamponscreenflag != 0);
}

void drawimg(int index, float x, float y, float height, int anchor, bool clamp) {
  if (!layeron(kLayerPictures)) return;
  const MemImg* img = memimgs[index];
  const float scale = run.currstimscale;
  const float l = (2.0f * dsp.iwinxgl / static_cast<float>(par.winxgl)) / scale;
  const ImgPlace p = imgplacement(img->width, img->height, x, y, height, anchor, l, dsp.iwinxgl, dsp.iwinygl, clamp);

  glPixelZoom(p.z, p.z);
  // A corner left of or below the window would make a plain raster position
  // invalid and the whole picture vanish: move there from the centre instead.
  // The same holds when a mouse or orbit shift carries the corner out.
  if (!clamp && (p.X < -dsp.iwinxgl / scale || p.Y < -dsp.iwinygl / scale)) {
    rasterfrom(p.X, p.Y, l);
  } else {
    glRasterPos2f(p.X, p.Y);
    GLboolean valid = GL_TRUE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (!valid) rasterfrom(p.X, p.Y, l);
  }
  {
    const bool blend = par.drawblendtransparencyflag != 0;
    const bool alphatest = !blend && par.drawtransparencyflag != 0;
    Capability b(GL_BLEND, blend);
    Capability a(GL_ALPHA_TEST, alphatest);
    if (blend) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawPixels(img->width, img->height, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, img->pixels);
  }
  glPixelZoom(1.0f, 1.0f);
}
