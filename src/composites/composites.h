// The composites' own layers: each composite type stacks a dot flow,
// picture streams, words and letters over its checkerboard, and a run's
// first frame starts all of them together.
#pragma once

#include "dots/flowfields.h"
#include "draw/letters.h"
#include "images/imagelayers.h"
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

// The same with the module's own state (the catalogue's calls).
void drawhemiletdilimg(double t, int nrad, int ntheta, int ndots);
void drawpolletdilimg(double t, int nrad, int ntheta, int ndots);
void drawpolletdil(double t, int nrad, int ntheta, int ndots);
void draweccletdil(double t, int nrad, int ntheta, int ndots);
void draweccletdilimg(double t, int nrad, int ntheta, int ndots);
void draweccpoldilimg(double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots);
void drawmeriddilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdilimgaud(double t, int nrad, int ntheta, int ndots);
void drawpoldilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdil(double t, int nrad, int ntheta, int ndots);
void draworblet(double t, int nrad, int ntheta);
void drawpolworddilimg(double t, int nrad, int ntheta, int ndots);
void draworbdilimg(double t, int nrad, int ntheta, int ndots);

// Off test of the orbital composites: true when only the fixation mark
// shows; `blockrule` false skips the hemifield block rule.
bool orbitaloff(double t, bool truncrule, bool blockrule);

// The flow under several wedges or rings (types 117, 118).
void drawdotbackground(double t);
