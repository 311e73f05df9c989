// The composites' own layers: each composite type stacks a dot flow,
// picture streams, words and letters over its checkerboard, and a run's
// first frame starts all of them together.
#pragma once

#include "dots/flowfields.h"
#include "images/imagelayers.h"
#include "retino/letters.h"
#include "text/wordstims.h"

struct CompositeState {
  FlowFieldState dots;
  PicLayersState pictures;
  PolWordState words;
  LettersState letters;
};
void resetcomposite(CompositeState& s);
// The instance the stimulus types draw with.
CompositeState& compositestate();

void drawhemiletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void drawpolletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void drawpolletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draweccletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draweccletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draweccpoldilimg(CompositeState& c, double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots);
void drawmeriddilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draworbletdilimgaud(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void drawpoldilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draworbletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draworbletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draworblet(CompositeState& c, double t, int nrad, int ntheta);
void drawpolworddilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
void draworbdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots);
