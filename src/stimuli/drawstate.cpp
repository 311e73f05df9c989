#include "stimuli/drawstate.h"

#include "core/runstate.h"
#include "dots/flowfields.h"
#include "dots/pursuit.h"
#include "dots/smoothflow.h"
#include "dots/vection.h"
#include "images/gaussmask.h"
#include "images/imagelayers.h"
#include "images/imagestreams.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "somato/airpuff.h"
#include "somato/dio.h"
#include "somato/diotest.h"
#include "somato/laser.h"
#include "text/reading.h"
#include "text/wordstims.h"

void resetdrawingstate() {
  run.initdoneflag = 0;  // the layers not yet given a state of their own
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
  // somatosensory
  resetair(airstate());
  resetlaser(laserstate());
  resetdiotest(dioteststate());
  resetblankoutputs(blankoutputsstate());
}
