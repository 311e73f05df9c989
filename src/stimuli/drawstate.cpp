#include "stimuli/drawstate.h"

#include "core/runstate.h"
#include "images/gaussmask.h"
#include "images/imagestreams.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "somato/airpuff.h"

void resetdrawingstate() {
  run.initdoneflag = 0;  // the layers not yet given a state of their own
  // pictures
  resetlooming(loomingstate());
  resetslideshow(slideshowstate());
  resetmaskstims(maskstimstate());
  resetgaussmask(gaussmaskstate());
  // somatosensory
  resetair(airstate());
}
