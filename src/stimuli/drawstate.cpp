#include "stimuli/drawstate.h"

#include "core/runstate.h"
#include "retino/fixation.h"
#include "retino/gratings.h"
#include "retino/ring.h"
#include "retino/rivalry.h"
#include "retino/saccade.h"
#include "retino/stereowedge.h"
#include "retino/targets.h"
#include "retino/variants.h"
#include "retino/wedge.h"
#include "scenario/playback.h"

void resetdrawingstate() {
  run.initdoneflag = 0;  // the layers not yet given a state of their own
  // retinotopy
  resetfixation(fixationstate());
  resetgratings(gratingstate());
  resetring(ringstate());
  resetrivalry(rivalrystate());
  resetsaccade(saccadestate());
  resetstereowedge(stereowedgestate());
  resettargets(targetstate());
  resetvariants(variantsstate());
  resetwedge(wedgestate());
  // scenario
  resetplayback(playbackstate());
}
