// Per-type defaults: the option text of the type's catalogue row, read by the
// option parser before the command line, so every option still overrides it.
#include "config/typedefaults.h"

#include "config/optionlists.h"
#include "config/options.h"
#include "config/params.h"
#include "core/stimulus.h"

void applytypedefaults(int stimtype) {
  const StimTypeInfo* s = stiminfo(stimtype);
  if (!s || !s->defaults) return;
  parseoptiontext(s->defaults);
  // Computed from the row: a type that names its conditions requires that
  // many, and its cycle list may still be replaced once by -cycleslist.
  if (!par.condnames.empty()) par.reqcondcnt = par.condcnt;
  if (par.freqlistcnt > 0) markfreqlistdefault();
}
