#include "stimuli/prepare.h"

#include "config/params.h"
#include "dots/dotfield.h"
#include "dots/vection.h"
#include "images/stimimages.h"
#include "retino/palette.h"
#include "retino/saccade.h"
#include "scenario/playback.h"
#include "somato/laser.h"
#include "stimuli/catalogue.h"
#include "text/wordlists.h"

void preparestimulus() {
  loadwordlists();
  loadstimimages();
  preparedots();
  preparevection();
  const StimTypeInfo* s = stiminfo(par.stimtype);
  if (s && s->prepare) s->prepare();
}

void preparepalette() {
  if (par.numtheta * par.numrad > 0 || stimneeds(par.stimtype, kBarPalette)) makechkcols();
}

void checkstimulusoutputs() {
  checkscenariobits();
  checkpaincues();  // the air tubes are checked with the other post-parse checks
}

bool presaccadetestclaims(double t) { return ispresaccadeper(t) != 0; }
