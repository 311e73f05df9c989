#include "core/prepost.h"

int prepostactions(int& predone, int& endlogged, double t, float prepostfix, float runfreq) {
  if (!predone) {
    endlogged = 0;
    if (t <= prepostfix) return PP_FIXONLY;
    predone = 1;
    return PP_FIXONLY | PP_ENDPRE;
  }
  const double period = 1.0 / runfreq;
  if (t <= period) return 0;
  int a = PP_FIXONLY;
  if (!endlogged) {
    a |= PP_ENDPERIOD;
    endlogged = 1;
  }
  if (t > prepostfix + period) a |= PP_ENDPOST;
  return a;
}
