// Run parameters: one member per option value, named as the option table
// names them. The member initialisers are the built-in defaults, so
// `par = Params{}` resets every parameter in one place.
#pragma once

#include <string>
#include <vector>

constexpr int TEXTLEN = 200;  // text parameters hold 199 characters + NUL

struct Params {
  // Run, timing and periods
  int stimtype = 10;
  float runfreq = 0.001953125f;  // 1/512 s
  double exptend = -1.0;         // -1: no end
  float prepostfix = 0.0f;
  float polfreq = 1.0f / 64.0f;

  // Fixation furniture drawn by the frame loop
  float fixbright = 1.0f;
  float fixbgbright = 0.55f;
  int drawfixmeshflag = 0;
  int drawfixgridflag = 0;
  int drawfixdotsflag = 0;
  int fixmeshlastflag = 0;

  // Geometry the dispatch passes along
  int numtheta = 0;
  int numtheta2 = 33;
  int numrad = 0;
  int numrad2 = 3;
  int ecccnt = 3;
  int polcnt = 3;
  int numdots = 2000;
  float stereodisp = 0.05f;

  // Attention targets and responses
  float chktargprob = 0.0f;
  float fixtargprob = 0.0f;
  char finaltiff[TEXTLEN] = "";  // -reportpercent image
  float presaccadedur = 0.0f;
  int arrowkeyhits = 0;
  int srseed = 1;

  // Colours
  float bgwingray = 0.5f;

  // Stereo
  float interocdist = 1.07f;
  float vertdisp = 0.0f;
  float stereoscaleeye = 1.0f;
  float stereoLred = 0.8f, stereoLgrn = 0.0f, stereoLblu = 0.0f;
  float stereoRred = 0.0f, stereoRgrn = 0.0f, stereoRblu = 1.0f;
  int packstereoupdownflag = 0;
  int doubleframerateflag = 0;

  // Event log and triggers
  int logfileflag = 0;
  int startpulse = 0;
  int setupusbflag = 1;
  int fivekeytriggerflag = 0;
  int apostrophetriggerflag = 0;
  int captkeytriggerflag = 0;

  // Window, scale and saved frames
  int winxgl = 1024;
  int winygl = 768;
  float startstimscale = 1.0f;
  int saveframes = 0;
  double framedur = 0.016666666666666666;
  double firstframetime = 0.0;
  char tiffoutdir[TEXTLEN] = ".";
  int fullscreenflag = 1;
  int mousectrlflag = 0;
  int savetransparencyflag = 1;

  // Sound
  int sndfilecnt = 0;

  // Library directories (set by the directory readers at start-up)
  char vistrumdir[TEXTLEN] = ".";
  char tiffdir[TEXTLEN] = "";
  char worddir[TEXTLEN] = "";
  char sndfiledir[TEXTLEN] = "";
};

extern Params par;
