#include "stimuli/prepare.h"

#include "config/params.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "draw/fixation.h"
#include "draw/fonts.h"
#include "draw/palette.h"
#include "draw/wedge.h"
#include "images/stimimages.h"
#include "retino/saccade.h"
#include "scenario/playback.h"
#include "somato/airchecks.h"
#include "somato/laser.h"
#include "stimuli/catalogue.h"
#include "stimuli/drawstate.h"
#include "text/wordlists.h"

void preparestimulus() {
  // Called before the window opens, so this is the type asked for: both
  // refusals would otherwise run a blank screen.
  const int type = par.stimtype;
  if (stimneeds(type, kInternalMode))
    fatal("vistrum: ### -stimtype %d is the internal 120 Hz mode: run -stimtype %d -doubleframerate\n", type,
          firststimwith(kDoubleRate));
  if (par.doubleframerateflag && !stimneeds(type, kDoubleRate))
    fatal("vistrum: ### -doubleframerate: only -stimtype %d is drawn in the 120 Hz mode (type %d would show nothing)\n",
          firststimwith(kDoubleRate), type);
  setringwrapdim(stimneeds(type, kRingWrapDim));
  if (stimneeds(type, kWordLists)) loadwordlists(stimneeds(type, kSentenceBlocks));
  loadstimimages();
  preparedots();
  const StimTypeInfo* s = stiminfo(type);
  if (s && s->prepare) s->prepare();
}

void preparepalette() {
  if (par.numtheta * par.numrad > 0 || stimneeds(par.stimtype, kBarPalette)) makechkcols();
}

void checkstimulusoutputs() {
  // The air tubes are checked with the other post-parse checks.
  if (stimneeds(par.stimtype, kScenario)) checkscenariobits();
  if (stimneeds(par.stimtype, kLaser)) checkpaincues();
}

bool presaccadetestclaims(double t) { return ispresaccadeper(t) != 0; }

void checkstimulustype() {
  const bool air = stimneeds(par.stimtype, kAirPuffs);
  if (air) airpuffchecks();
  const StimTypeInfo* s = stiminfo(par.stimtype);
  if (s && s->check) s->check();
  if (air) reportairtubes();
}

StimulusHooks stimulusside() {
  StimulusHooks h = stimulushooks();  // any call left out stays a no-op
  h.validtype = validstimtype;
  h.maylog = stimmaylog;
  h.logname = stimlogname;
  h.checktype = checkstimulustype;
  h.loadfonts = loadfonts;
  h.prepare = preparestimulus;
  h.preparepalette = preparepalette;
  h.checkoutputs = checkstimulusoutputs;
  h.windowready = [] { openscaledfont(0); };
  h.reset = resetdrawingstate;
  h.fixation = [](float bright, double t, bool screencentre) {
    drawfixation(0.0f, 0.0f, 0.0f, bright, t, screencentre ? FixMark{Centre::screen} : FixMark{});
  };
  h.fixmesh = drawfixmesh;
  h.fixgrid = drawfixgrid;
  h.fixdots = drawfixdots;
  h.calibrating = presaccaderunning;
  h.calibrationclaims = presaccadetestclaims;
  h.text = [](const char* text, float x, float y, float size, int grab) { drawstr(text, x, y, size, grab, 0); };
  return h;
}
