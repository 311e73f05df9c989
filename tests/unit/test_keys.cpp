// The key table, stereo colour steps and the pointer arithmetic.
#include "keepglobals.h"
#include "config/params.h"
#include "core/mouse.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/trigger.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cmath>

TEST(KeyTable, DigitsAreResponsesAndFiveIsTheTriggerKey) {
  for (unsigned long k = XK_0; k <= XK_9; k++) {
    int d = -1;
    const KeyAction a = keyaction(k, &d);
    if (k == XK_5) {
      EXPECT_EQ(a, KeyAction::five);
    } else {
      EXPECT_EQ(a, KeyAction::digit);
      EXPECT_EQ(d, static_cast<int>(k - XK_0));
    }
  }
}

TEST(KeyTable, CaseMattersForLetters) {
  int d = 0;
  const std::pair<unsigned long, KeyAction> rows[] = {
      {XK_T, KeyAction::capitalT},        {XK_t, KeyAction::none},
      {XK_apostrophe, KeyAction::apostrophe}, {XK_m, KeyAction::mousetoggle},
      {XK_M, KeyAction::none},            {XK_D, KeyAction::bordertoggle},
      {XK_d, KeyAction::none},            {XK_o, KeyAction::interocdown},
      {XK_O, KeyAction::interocup},       {XK_v, KeyAction::vertdown},
      {XK_V, KeyAction::vertup},          {XK_r, KeyAction::leftreddown},
      {XK_g, KeyAction::leftgrnup},       {XK_b, KeyAction::leftbluup},
      {XK_R, KeyAction::rightredup},      {XK_G, KeyAction::rightgrnup},
      {XK_B, KeyAction::rightbludown},    {XK_z, KeyAction::stereopreset1},
      {XK_Z, KeyAction::stereopreset2},   {XK_F1, KeyAction::f1},
      {XK_F2, KeyAction::f2},             {XK_F3, KeyAction::f3},
      {XK_F4, KeyAction::none},           {XK_F5, KeyAction::f5},
      {XK_F8, KeyAction::f8},             {XK_Escape, KeyAction::escape},
      {XK_Up, KeyAction::up},             {XK_Down, KeyAction::down},
      {XK_Left, KeyAction::none},         {XK_space, KeyAction::none},
  };
  for (const auto& row : rows) EXPECT_EQ(keyaction(row.first, &d), row.second) << row.first;
}

TEST(KeyTable, ColourStepsStayInsideTheUnitRange) {
  EXPECT_NEAR(stepcolour(0.8f, -0.01f), 0.79f, 1e-6);
  EXPECT_NEAR(stepcolour(0.005f, -0.01f), 0.0f, 1e-7);
  EXPECT_EQ(stepcolour(0.0f, -0.01f), 0.0f);
  EXPECT_EQ(stepcolour(1.0f, 0.01f), 1.0f);
  EXPECT_NEAR(stepcolour(0.995f, 0.01f), 1.0f, 1e-7);
  float v = 0.8f;
  for (int k = 0; k < 200; k++) v = stepcolour(v, -0.01f);
  EXPECT_EQ(v, 0.0f);
}

TEST(KeyTable, TimerReadingsBeforeTheFirstResetLogAsZero) {
  const KeepGlobals keep;
  run.starttime = 0.0;  // never reset
  EXPECT_EQ(resettime(gettimer()), 0.0);
  run.starttime = 5.0;
  EXPECT_EQ(resettime(1.7e9), 0.0);
  EXPECT_EQ(resettime(100000.5), 0.0);
  EXPECT_EQ(resettime(12.5), 12.5);
}

TEST(TriggerCount, OnlyThePressFromOneToZeroStarts) {
  const KeepGlobals keep;
  run.somekeytriggerflag = 1;
  run.somekeytriggercnt = 3;
  run.breakwaitflag = 0;
  countdownsomekey(0);
  countdownsomekey(0);
  EXPECT_EQ(run.breakwaitflag, 0);
  EXPECT_EQ(run.somekeytriggercnt, 1);
  run.framesrestart = false;
  countdownsomekey(0);
  EXPECT_EQ(run.breakwaitflag, 1);
  EXPECT_TRUE(run.framesrestart);  // the restart sequence ran
  run.breakwaitflag = 0;
  countdownsomekey(0);  // later presses never start again
  EXPECT_EQ(run.breakwaitflag, 0);
  EXPECT_LT(run.somekeytriggercnt, 0);
  run.somekeytriggerflag = 0;
  run.somekeytriggercnt = 1;
  countdownsomekey(0);  // no trigger key in use: ignored
  EXPECT_EQ(run.somekeytriggercnt, 1);
  EXPECT_EQ(run.breakwaitflag, 0);
}

TEST(Pointer, DisplayPixelsMapOntoTheControlRange) {
  const UnitPoint c = mouse2units(640, 512, 1280, 1024, 0.7f);
  EXPECT_NEAR(c.x, 0.0f, 1e-6);
  EXPECT_NEAR(c.y, 0.0f, 1e-6);
  const UnitPoint tl = mouse2units(0, 0, 1280, 1024, 0.7f);
  EXPECT_NEAR(tl.x, -0.7f, 1e-6);
  EXPECT_NEAR(tl.y, 0.7f, 1e-6);  // pixel rows grow downwards, units upwards
  const UnitPoint br = mouse2units(1280, 1024, 1280, 1024, 0.7f);
  EXPECT_NEAR(br.x, 0.7f, 1e-6);
  EXPECT_NEAR(br.y, -0.7f, 1e-6);
}

TEST(Pointer, UnitsToPixelsInvertsThePointerMapping) {
  for (float x : {-0.7f, -0.3f, 0.0f, 0.45f}) {
    for (float y : {-0.6f, 0.0f, 0.2f}) {
      const PixelPoint p = units2mouse(x, y, 1280, 1024, 0.7f, false);
      const UnitPoint u = mouse2units(p.x, p.y, 1280, 1024, 0.7f);
      EXPECT_NEAR(u.x, x, 2 * 1.4 / 1280) << x;
      EXPECT_NEAR(u.y, y, 2 * 1.4 / 1024) << y;
    }
  }
  // Square mode measures with the shorter side.
  const PixelPoint s = units2mouse(0.7f, 0.7f, 1280, 1024, 0.7f, true);
  EXPECT_EQ(s.x, 1024);
  EXPECT_EQ(s.y, 0);
}

TEST(Pointer, SquareModeClampsTheLongerAxisOnly) {
  const PixelPoint a = clamptosquare(10, 5, 1280, 1024);
  EXPECT_EQ(a.x, 128);
  EXPECT_EQ(a.y, 5);
  const PixelPoint b = clamptosquare(1270, 1000, 1280, 1024);
  EXPECT_EQ(b.x, 1152);
  EXPECT_EQ(b.y, 1000);
  const PixelPoint c = clamptosquare(5, 1020, 768, 1024);  // portrait
  EXPECT_EQ(c.x, 5);
  EXPECT_EQ(c.y, 896);
}

TEST(Pointer, OrbitAngleWrapsIntoOneTurn) {
  EXPECT_NEAR(orbangle(0.0, 0.25f), 0.0f, 1e-6);
  EXPECT_NEAR(orbangle(1.0, 0.25f), M_PI / 2, 1e-5);
  EXPECT_NEAR(orbangle(5.0, 0.25f), M_PI / 2, 1e-5);
  const float neg = orbangle(1.0, -0.25f);
  EXPECT_NEAR(neg, 3 * M_PI / 2, 1e-5);
}

// Xlib after gtest: its None/Bool macros would break gtest's own headers.
#include <X11/Xlib.h>

#include "core/window.h"

TEST(Pointer, MotionCountsOnlyInFullScreenAndInDisplayCoordinates) {
  const KeepGlobals keep;
  XEvent ev{};
  ev.type = MotionNotify;
  ev.xmotion.x = 100;
  ev.xmotion.y = 50;
  run.mousex = 7;
  run.mousey = 8;
  par.fullscreenflag = 0;
  notepointermotion(ev);
  EXPECT_EQ(run.mousex, 7);
  EXPECT_EQ(run.mousey, 8);
  par.fullscreenflag = 1;
  dsp.glxwindow = 42;
  dsp.winxoff = 128;
  dsp.winyoff = 64;
  ev.xmotion.window = 42;  // inside the stimulus window: shifted by its offset
  notepointermotion(ev);
  EXPECT_EQ(run.mousex, 228);
  EXPECT_EQ(run.mousey, 114);
  ev.xmotion.window = 43;  // the background window is the display
  notepointermotion(ev);
  EXPECT_EQ(run.mousex, 100);
  EXPECT_EQ(run.mousey, 50);
  dsp = DisplayState{};
}
