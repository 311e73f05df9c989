// Picture placement, stream sequencing, looming sets and the Gaussian mask:
// the geometry and schedules the picture stimuli draw from.
#include "config/params.h"
#include "draw/drawimg.h"
#include "images/gaussmask.h"
#include "images/imagelayers.h"
#include "draw/imagestreams.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "draw/tiffio.h"
#include "keepglobals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// Adds n pictures named by `name(k)` to the store (2 x 2 grey) and returns
// the index of the first.
int addpictures(int n, const char* const* names) {
  const int first = memimgcnt;
  if (!memimgs) memimgs = static_cast<MemImg**>(std::calloc(MAXMEMIMGS, sizeof(MemImg*)));
  for (int k = 0; k < n; k++) {
    MemImg* m = new MemImg;
    m->width = m->height = 2;
    m->pixels = new unsigned int[4]();
    std::strcpy(m->name, names[k]);
    memimgs[memimgcnt++] = m;
  }
  return first;
}

}  // namespace

TEST(ImagePlacement, ZoomAnchorsAndClamping) {
  const float l = 3.12f / 1024.0f;  // units per pixel, scale 1
  ImgPlace p = imgplacement(100, 200, 0.0f, 0.0f, 1.0f, ANCHOR_CENTRE, l, 1.56f, 1.17f, false);
  EXPECT_NEAR(p.z, 1.0f / (200 * l), 1e-4f);
  EXPECT_NEAR(p.H, 1.0f, 1e-6f);
  EXPECT_NEAR(p.W, 0.5f, 1e-6f);  // aspect kept
  EXPECT_NEAR(p.X, -0.25f, 1e-6f);
  EXPECT_NEAR(p.Y, -0.5f, 1e-6f);
  const struct {
    int anchor;
    float ox, oy;
  } anchors[] = {{1, -0.5f, 0}, {2, 0, -0.5f}, {3, -0.25f, 0}, {8, -0.5f, -0.5f}, {0, 0, 0}, {7, 0, 0}};
  for (const auto& a : anchors) {
    p = imgplacement(100, 200, 0.2f, 0.1f, 1.0f, a.anchor, l, 1.56f, 1.17f, false);
    EXPECT_NEAR(p.X, 0.2f + a.ox, 1e-6f) << a.anchor;
    EXPECT_NEAR(p.Y, 0.1f + a.oy, 1e-6f) << a.anchor;
  }
  // Clamped: left edge just inside; right and top edges just inside.
  p = imgplacement(100, 200, -10.0f, 0.0f, 1.0f, ANCHOR_LOWERLEFT, l, 1.56f, 1.17f, true);
  EXPECT_NEAR(p.X, -1.56f + 0.0001f, 1e-6f);
  p = imgplacement(100, 200, 10.0f, 10.0f, 1.0f, ANCHOR_LOWERLEFT, l, 1.56f, 1.17f, true);
  EXPECT_NEAR(p.X, 1.56f - 0.5f - 0.0001f, 1e-5f);
  EXPECT_NEAR(p.Y, 1.17f - 1.0f - 0.0001f, 1e-5f);
  // Unclamped, a picture may hang off the window.
  p = imgplacement(100, 200, -10.0f, 0.0f, 1.0f, ANCHOR_LOWERLEFT, l, 1.56f, 1.17f, false);
  EXPECT_FLOAT_EQ(p.X, -10.0f);
}

TEST(ImageStreams, TimesDriftAndRadii) {
  KeepGlobals keep;
  par.tiffdur = 0.5f;
  par.staggertiffsflag = 1;
  const double step = 0.5 / 4;
  for (int j = 0; j < 4; j++) EXPECT_NEAR(streamtime(10.0, j, 4), 10.0 + step * (j * (j + 1) / 2), 1e-12);
  par.staggertiffsflag = 0;
  EXPECT_EQ(streamtime(10.0, 3, 4), 10.0);
  // Visible 5/6 of the period: the drift runs from -0.5 to about +0.33.
  par.gapdur = 0.1;
  const double vis = par.tiffdur / (par.tiffdur + par.gapdur);
  EXPECT_NEAR(vis, 5.0 / 6.0, 1e-6);
  EXPECT_FLOAT_EQ(driftoffset(0.0, 1.0f), -0.5f);
  EXPECT_NEAR(driftoffset(vis, 1.0f), 1.0 / 3.0, 1e-6);
  par.trbased = 2.0f;
  EXPECT_EQ(driftoffset(0.0, 1.0f), 0.0f);
  par.minlett = 0.5f;
  par.maxlett = 0.2f;  // crossed: the lower bound wins
  EXPECT_EQ(clamplett(0.3f), 0.5f);
  par.maxlett = 1.0f;
  EXPECT_EQ(clamplett(2.0f), 1.0f);
  EXPECT_EQ(clamplett(0.7f), 0.7f);
  // Ring of the ring layer: constant width, skipped beyond maxrad.
  par = Params{};
  par.exptransflag = 0;
  par.eccfreq = 0.25f;
  par.minrad = 0.0f;
  par.maxrad = 1.0f;
  par.eccwidth = 0.2f;
  ImgRing r = imgringedges(1.0, true);
  EXPECT_NEAR(r.rin, 0.25f, 1e-6f);
  EXPECT_NEAR(r.rout, 0.45f, 1e-6f);
  par.skipeccwrapflag = 1;
  EXPECT_FALSE(imgringedges(3.6, true).visible);
  // Wedge angle: 2 pi polfreq t, or held at the TR start.
  par.polfreq = 0.125f;
  EXPECT_NEAR(imgwedgeangle(2.0), M_PI / 2.0, 1e-5);
  par.trbased = 2.0f;
  EXPECT_NEAR(imgwedgeangle(3.9), M_PI / 2.0, 1e-5);
}

TEST(ImageStreams, OrdersShowEveryPictureOncePerPassAndNeverRepeatInOrbit) {
  srandom(7);
  PicOrder o;
  resetpicorder(o, 3);
  for (int pass = 0; pass < 5; pass++) {
    std::set<int> seen;
    for (int k = 0; k < 3; k++) seen.insert(nextpic(o));
    EXPECT_EQ(seen.size(), 3u);
  }
  int prev = -1;
  for (int k = 0; k < 200; k++) {
    const int n = randomotherpic(prev, 2);
    EXPECT_NE(n, prev);
    prev = n;
  }
  EXPECT_EQ(randomotherpic(0, 1), 0);  // one picture: shown again
  EXPECT_EQ(stepslide(2, 3, true), 0);
  EXPECT_EQ(stepslide(0, 3, false), 2);
}

TEST(ImageStreams, MaskedPicturesAndSlideShowStartAgainAfterAReset) {
  KeepGlobals keep;
  const char* names[] = {"m0.tif", "m1.tif", "m2.tif", "m3.tif"};
  addpictures(4, names);
  const int keeptiffcnt = tiffcnt;
  tiffcnt = memimgcnt;
  par.tiffdur = 1.0f;
  par.maxtiffspeed = 0.2f;
  par.polfreq = 0.5f;
  MaskStimState m;
  SlideShowState show;
  auto drawrun = [&](std::vector<float>& seen) {
    srandom(9);
    for (double t = 0.0; t < 6.0; t += 0.25) {
      draweccpoltiffmask(m, t);
      drawperiodictiffs(show, t);
      seen.insert(seen.end(), {static_cast<float>(m.index), m.xs, m.ys, static_cast<float>(show.index)});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  EXPECT_EQ(m.frame, 24);
  resetmaskstims(m);
  resetslideshow(show);
  EXPECT_EQ(m.frame, 0);  // -test masks the second frame after a restart again
  drawrun(again);
  EXPECT_EQ(first, again);
  tiffcnt = keeptiffcnt;
}

TEST(ImageStreams, APictureLayerStartsItsStreamsAgainAfterAReset) {
  KeepGlobals keep;
  const char* names[] = {"p0.tif", "p1.tif", "p2.tif", "p3.tif", "p4.tif"};
  addpictures(5, names);
  const int keeptiffcnt = tiffcnt;
  tiffcnt = memimgcnt;
  par.tiffdur = 1.0f;
  par.gapdur = 0.5;
  par.staggertiffsflag = 1;
  par.maxtiffspeed = 0.1f;
  par.minlett = 0.2f;
  par.maxlett = 0.9f;
  PicLayerState orbit, wedge;
  auto drawrun = [&](std::vector<float>& seen) {
    srandom(12);
    for (double t = 0.0; t < 9.0; t += 0.2) {
      draworbimgs(orbit, t, 3);
      drawpolimg(wedge, t, 2);
      for (int j = 0; j < 3; j++)
        seen.insert(seen.end(), {static_cast<float>(orbit.streams[j].index), orbit.streams[j].angle});
      seen.insert(seen.end(), {static_cast<float>(wedge.streams[1].index), wedge.streams[1].mid});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  const int* order = wedge.streams[0].order.idx;
  resetpiclayer(orbit);
  resetpiclayer(wedge);
  drawrun(again);
  EXPECT_EQ(first, again);
  EXPECT_EQ(wedge.streams[0].order.idx, order);  // no new array after a restart
  tiffcnt = keeptiffcnt;
}

TEST(Looming, OneTargetPerSetRadiiAndConditions) {
  KeepGlobals keep;
  std::strcpy(par.targtiffinfix, "targ0");
  const char* names[] = {"a.tif", "targ0b.tif", "targ0c.tif", "d.tif", "e.tif", "f.tif"};
  const int first = addpictures(6, names);
  LoomOrder o;
  int idx[6];
  for (int k = 0; k < 6; k++) idx[k] = first + k;
  o.idx = idx;
  o.n = 6;
  o.pos = 0;  // the first take advances to the first target
  int slots[4];
  auto target = [](int i) { return istargetpic(i); };
  srandom(1);
  EXPECT_TRUE(chooseloomset(o, 4, slots, target));
  EXPECT_EQ(slots[0], first + 1);
  EXPECT_EQ(slots[1], first + 3);  // the second target is skipped
  EXPECT_EQ(slots[2], first + 4);
  par.targtiffinfix[0] = '\0';  // an empty infix marks no target
  EXPECT_FALSE(istargetpic(first + 1));

  par.minrad = 0.1f;
  par.maxrad = 1.0f;
  par.exptransflag = 1;
  par.expfrac = 1.0f;
  EXPECT_NEAR(imdilradius(0.0f), 0.1f, 1e-6f);
  EXPECT_NEAR(imdilradius(1.0f), 1.0f, 1e-5f);
  par.scalefrac = 0.0f;
  par.tiffscale = 2.0f;
  EXPECT_NEAR(imdilheight(0.3f), imdilheight(0.9f), 1e-6f);  // constant size
  EXPECT_NEAR(imdilheight(0.5f), 1.8f, 1e-6f);
  par.exptransflag = 0;
  EXPECT_NEAR(barrierradius(0.5f), 0.5f, 1e-6f);
  EXPECT_EQ(barriercondition("off"), 0);
  EXPECT_EQ(barriercondition("contractback"), 4);
  EXPECT_EQ(barriercondition("dilate"), -1);
}

TEST(Looming, AResetStartsTheSameSetsAgainAndKeepsTheOrderArray) {
  KeepGlobals keep;
  const char* names[] = {"l0.tif", "l1.tif", "l2.tif", "l3.tif", "l4.tif"};
  addpictures(5, names);
  const int keeptiffcnt = tiffcnt;
  tiffcnt = memimgcnt;
  par.simulcnt = 3;
  par.flowfreq = 0.5f;
  par.onfrac = 1.0f;
  LoomingState s;
  auto drawrun = [&s](std::vector<int>& seen) {
    srandom(5);
    for (double t = 0.0; t < 8.0; t += 0.5) {
      drawimdil(s, t);
      seen.insert(seen.end(), s.slots, s.slots + 3);
    }
  };
  std::vector<int> first, again;
  drawrun(first);
  const int* order = s.order.idx;
  resetlooming(s);
  EXPECT_FALSE(s.started);
  EXPECT_EQ(s.lastphase, 1.001);
  drawrun(again);
  EXPECT_EQ(first, again);
  EXPECT_EQ(s.order.idx, order);
  tiffcnt = keeptiffcnt;
}

TEST(GaussMask, CentreTransparentSurroundOpaqueHalfAtTheFwhm) {
  const double f = gaussfwhmpix(1024, 1.56f, 0.8f);
  EXPECT_NEAR(f, 1024 * 0.8 / 3.12, 1e-4);  // float options
  EXPECT_EQ(gaussalpha(512, 384, 1024, 768, f, 0.8f, 0.0f), 0);
  EXPECT_EQ(gaussalpha(0, 0, 1024, 768, f, 0.8f, 0.0f), 254);  // int(255*(1-tiny))
  const int half = static_cast<int>(f / 2);
  EXPECT_NEAR(gaussalpha(512 + half, 384, 1024, 768, f, 0.8f, 0.0f), 127, 2);
  // An ellipse half as high: the same alpha at half the vertical distance.
  EXPECT_NEAR(gaussalpha(512, 384 + half / 2, 1024, 768, f, 0.8f, 0.4f), 127, 2);
  char name[200];
  gaussmaskname(name, sizeof name, 0.5f, f, 0.8f, 0.4f, 1024, 768);
  EXPECT_STREQ(name, "gau-transp-bg=0.50-fwhm=262x131-1024x768.tiff");
}
