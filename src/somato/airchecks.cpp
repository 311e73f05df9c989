#include "somato/airchecks.h"

#include "config/params.h"
#include "core/xit.h"
#include "devices/dio.h"

#include <cmath>
#include <cstdio>

namespace {

// A puff and its valve's settling time.
double puffslot() { return static_cast<double>(par.puffdur) + 0.005; }

void toomanypuffs() { std::printf("vistrum:       too many puffsperpolpos or too long airpuffs\n"); }

// The two-block types derive their rotation from the block period: half a
// period per side, so the puffs of half the tubes must fit in it.
void checkhalfperiod() {
  par.polfreq = par.twofreq / 2.0f;
  // twofreq is doubled by now: the period given was 2/twofreq.
  const double twoperiod = std::fabs(2.0 / static_cast<double>(par.twofreq));
  if (0.5 * par.airtubes * par.puffsperpolpos * puffslot() > 0.5 * twoperiod) {
    std::printf("vistrum: ### 1/2airtubes*puffsperpolpos*puffdur > 0.5*twoperiod:\n");
    toomanypuffs();
    xit(1);
  }
}

// A sweep over `used` tubes must fit in the sweep period (its magnitude,
// or taken with its sign where a negative period means no sweep at all).
void checksweep(int used, bool signedperiod) {
  const double period = 1.0 / static_cast<double>(par.aflowfreq);
  const double compared = signedperiod ? period : std::fabs(period);
  if (used * puffslot() > compared)
    fatal("vistrum: ### aflowper=%2.2fsec too short for %dx%2.2fsec puffs\n", period, used,
          static_cast<double>(par.puffdur));
}

}  // namespace

void airpuffchecks() {
  const int tubes = par.airtubes;
  if (par.mapairtubes == 0) fatal("vistrum: ### no airtube map: use option -airtubemap\n");
  if (par.mapairtubes != tubes && par.mapairtubes == 12)
    fatal("vistrum: ### non-default num airtubes, need -airtubemap opt\n");
  if (par.mapairtubes != tubes)
    fatal("vistrum: ### -airtubemap args (%d) don't match -airtubes (%d)\n", par.mapairtubes, tubes);
  if (par.setupusbflag && tubes > dioutputbitcount() && dionooutputbits())
    std::printf("vistrum: ### %s\n", dionooutputbits());
  if (par.setupusbflag && tubes > dioutputbitcount())
    fatal("vistrum: ### not enough outport bits (%d) for %d airtubes\n", dioutputbitcount(), tubes);
}

void reportairtubes() {
  if (!par.setupusbflag) std::printf("vistrum: ### -nosetupusb: airpuffs disabled (visual test only)\n");
  for (int k = 0; k < par.mapairtubes; k++)
    std::printf("vistrum: out arraybit=%d mapped to airtube=%d\n", k + 1, par.airtubemap[k]);
}

void checkrotatingpuffs() {
  const int tubes = par.airtubes;
  const double cyc = std::fabs(1.0 / static_cast<double>(par.polfreq));
  if (par.puffsperpolpos * puffslot() > cyc / tubes) {
    toomanypuffs();
    fatal("vistrum: ### max puffsperpolpos=%2.1f (puffdur=%1.2fs, pos=%d, cyc=%2.0f)\n", cyc / tubes / puffslot(),
          static_cast<double>(par.puffdur), tubes, cyc);
  }
}

void checkrightleftpuffs() {
  checkhalfperiod();
  if (par.airtubes % 2 != 0) fatal("vistrum: ### right/left air puffs req's even num airtubes\n");
}

void checkrandoffpuffs() {
  checkhalfperiod();
  if (par.onebacktargprob > static_cast<float>(par.puffsperpolpos * par.airtubes))
    fatal("vistrum: ### max onebacktargprob for curr puffcnt is %2.2f\n",
          static_cast<double>(par.puffsperpolpos * par.airtubes));
}

void checkflowpuffs() { checksweep(par.airtubes, false); }
void checkhalfflowpuffs() { checksweep(par.airtubes / 2, true); }
void checkthirdflowpuffs() { checksweep(par.airtubes / 3, true); }

void checkairgrid() {
  if (par.airgridrows * par.airgridcols != par.airtubes)
    fatal("vistrum: ### -airgrid %d %d (rows x cols) inconsistent with -airtubes %d\n", par.airgridrows,
          par.airgridcols, par.airtubes);
}
