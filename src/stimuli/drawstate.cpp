#include "stimuli/drawstate.h"

#include "composites/composites.h"
#include "config/condseq.h"
#include "core/runstate.h"
#include "devices/dio.h"
#include "dots/flowfields.h"
#include "dots/pursuit.h"
#include "dots/smoothflow.h"
#include "dots/vection.h"
#include "draw/fixation.h"
#include "draw/imagestreams.h"
#include "draw/letters.h"
#include "draw/ring.h"
#include "draw/targets.h"
#include "draw/wedge.h"
#include "images/gaussmask.h"
#include "images/imagelayers.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "retino/gratings.h"
#include "retino/rivalry.h"
#include "retino/saccade.h"
#include "retino/stereowedge.h"
#include "retino/variants.h"
#include "scenario/playback.h"
#include "somato/airpuff.h"
#include "somato/diotest.h"
#include "somato/laser.h"
#include "text/reading.h"
#include "text/wordstims.h"

void resetdrawingstate() {
  run.framesrestart = true;
  // block designs
  restartcondseq();
  // retinotopy
  resetcomposite(compositestate());
  resetfixation(fixationstate());
  resetgratings(gratingstate());
  resetletters(lettersstate());
  resetring(ringstate());
  resetrivalry(rivalrystate());
  resetsaccade(saccadestate());
  resetstereowedge(stereowedgestate());
  resettargets(targetstate());
  resetvariants(variantsstate());
  resetwedge(wedgestate());
  // dots
  resetflowfields(flowfieldsstate());
  resetsmoothflow(smoothflowstate());
  resetpursuit(pursuitstate());
  resetrealmot(realmotstate());
  resetvection(vectionstate());
  // pictures
  resetpiclayers(piclayersstate());
  resetlooming(loomingstate());
  resetslideshow(slideshowstate());
  resetmaskstims(maskstimstate());
  resetgaussmask(gaussmaskstate());
  // words and reading
  resetpolword(polwordstate());
  resetwordstims(wordstimstate());
  resetreading(readingstate());
  // scenario
  resetplayback(playbackstate());
  // somatosensory
  resetair(airstate());
  resetlaser(laserstate());
  resetdiotest(dioteststate());
  resetblankoutputs(blankoutputsstate());
}
