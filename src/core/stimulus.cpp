#include "core/stimulus.h"

namespace {

// Until the catalogue hands its calls over, the run knows no type: every
// number is refused and nothing is drawn or checked.
bool notype(int) { return false; }
bool nolog(int, float, float) { return false; }
const char* nologname(int, float, float) { return "zz"; }
void nothing() {}
void nofixation(float, double, bool) {}
void nofurniture(float) {}
bool notcalibrating() { return false; }
bool noclaim(double) { return false; }
void notext(const char*, float, float, float, int) {}

StimulusHooks hooks{notype,  nolog,   nologname, nothing,     nothing,     nothing,        nothing,
                    nothing, nothing, nothing,   nofixation,  nofurniture, nofurniture,    nofurniture,
                    notcalibrating,  noclaim,   notext};

const StimTypeInfo* rows = nullptr;
int rowcount = 0;

}  // namespace

void settyperows(const StimTypeInfo* r, int count) {
  rows = r;
  rowcount = count;
}

void setstimulushooks(const StimulusHooks& h) { hooks = h; }

const StimulusHooks& stimulushooks() { return hooks; }

const StimTypeInfo* stiminfo(int stimtype) {
  for (int k = 0; k < rowcount; k++)
    if (rows[k].num == stimtype) return &rows[k];
  return nullptr;
}

const StimTypeInfo* stimtable(int* count) {
  *count = rowcount;
  return rows;
}

bool stimneeds(int stimtype, unsigned what) {
  const StimTypeInfo* s = stiminfo(stimtype);
  return s != nullptr && (s->needs & what) != 0;
}

int firststimwith(unsigned what) {
  for (int k = 0; k < rowcount; k++)
    if (rows[k].needs & what) return rows[k].num;
  return -1;
}

void drawstimulus(int stimtype, double t, double tprev) {
  const StimTypeInfo* s = stiminfo(stimtype);
  if (s && s->draw) s->draw(t, tprev);
}
