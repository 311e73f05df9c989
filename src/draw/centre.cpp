#include "draw/centre.h"

#include "config/params.h"
#include "core/mouse.h"

#include <GL/gl.h>

int pushstimcentre(double t, Centre c) {
  int pushed = 0;
  if (par.mousectrlflag) {
    glPushMatrix();
    pushed++;
    if (par.fullscreenflag) cent2mouse();
  }
  if (c == Centre::orbit && par.orbrad != 0.0f) {
    glPushMatrix();
    pushed++;
    cent2polorb(t);
  }
  return pushed;
}

void popstimcentre(int pushed) {
  for (int k = 0; k < pushed; k++) glPopMatrix();
}
