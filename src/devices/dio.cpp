#include "devices/dio.h"

#include "config/params.h"
#include "core/runstate.h"
#include "core/xit.h"

#include <cstdio>

namespace {

constexpr int ROLE_TRIG = 1, ROLE_RESP = 2, ROLE_CODE = 3, ROLE_GROUP = 4;

bool validport(int dev, int port) { return dev >= 0 && dev <= 3 && port >= 0 && port <= 3; }

bool groupport(int dev, int port) {
  if (!validport(dev, port)) return false;
  for (int b = 0; b < 8; b++)
    if (par.usbbitsstate[dev][port][b] == ROLE_GROUP) return true;
  return false;
}

bool codeportused() { return par.sxcode2ttlflag || par.airpuffbyteflag; }
// A counted key trigger turns a positive -waitforpulse into key presses.
bool trigbitused() { return par.startpulse > 0 && !run.somekeytriggerflag; }

void needbox(int dev, int port, int boxes, const char* what) {
  if (dev < boxes) return;
  fatal("vistrum: ### %s %d %c: box %d not attached (%d box(es) found)\n", what, dev, 'A' + port, dev, boxes);
}

}  // namespace

void setupdio() {
  if (par.setupusbflag) checkdioroles(4);
  if (codeportused() && validport(par.codedevnum, par.codeportnum))
    for (int b = 0; b < 8; b++) par.usbbitsstate[par.codedevnum][par.codeportnum][b] = ROLE_CODE;
  if (par.logrespbitsflag && validport(par.respdevnum, par.respportnum))
    for (int b = 0; b < 8; b++) par.usbbitsstate[par.respdevnum][par.respportnum][b] = ROLE_RESP;
  // An output port keeps its bits when the trigger is not used (a box with
  // all 32 bits as outputs for the output test, say).
  if (validport(par.trigdevnum, par.trigportnum) && par.trigbitnum >= 0 && par.trigbitnum <= 7) {
    int& role = par.usbbitsstate[par.trigdevnum][par.trigportnum][par.trigbitnum];
    if (trigbitused() || (role != ROLE_CODE && role != ROLE_GROUP)) role = ROLE_TRIG;
  }
}

void checkdioroles(int boxes) {
  // Directions are per port: an input role on an output port cannot work.
  const bool code = codeportused(), resp = par.logrespbitsflag != 0, trig = trigbitused();
  const int cd = par.codedevnum, cp = par.codeportnum, rd = par.respdevnum, rp = par.respportnum;
  const int td = par.trigdevnum, tp = par.trigportnum;
  if (code && groupport(cd, cp))
    fatal("vistrum: ### code port %d %c is also in the output bit group (-addport2set)\n", cd, 'A' + cp);
  if (resp && groupport(rd, rp))
    fatal("vistrum: ### response port %d %c is an output port (-addport2set)\n", rd, 'A' + rp);
  if (resp && code && rd == cd && rp == cp)
    fatal("vistrum: ### response port %d %c is the code output port (-usbcodeport)\n", rd, 'A' + rp);
  if (trig && groupport(td, tp))
    fatal("vistrum: ### trigger bit %d %c %d is on an output port (-addport2set)\n", td, 'A' + tp, par.trigbitnum);
  if (trig && code && td == cd && tp == cp)
    fatal("vistrum: ### trigger bit %d %c %d is on the code output port (-usbcodeport)\n", td, 'A' + tp,
          par.trigbitnum);
  for (int d = boxes; d < 4; d++)
    for (int p = 0; p < 4; p++)
      if (groupport(d, p)) needbox(d, p, boxes, "-addport2set");
  if (code) needbox(cd, cp, boxes, "code port");
  if (resp) needbox(rd, rp, boxes, "response port");
  if (trig) needbox(td, tp, boxes, "trigger port");
}

int codefrombits(const int bits[8]) {
  int code = 0;
  for (int k = 0; k < 8; k++) {
    if (bits[k] != 0 && bits[k] != 1) fatal("vistrum: ### bad bit: %d (not 0,1)\n", bits[k]);
    code += bits[k] << (7 - k);
  }
  return code;
}

void printcodefrombits(const int bits[8]) {
  const int code = codefrombits(bits);
  std::printf("\n high <--------------- low\n");
  std::printf("   %d  %d  %d  %d  %d  %d  %d  %d", bits[0], bits[1], bits[2], bits[3], bits[4], bits[5], bits[6],
              bits[7]);
  std::printf("    ->   sxcode=%d\n\n", code);
}

void printbitsfromcode(int code) {
  if (code < 0 || code > 255) fatal("vistrum: ### bad code: %d (allowed: 0-255)\n", code);
  int b[8];
  for (int k = 0; k < 8; k++) b[k] = (code >> (7 - k)) & 1;
  std::printf("\n                high <--------------- low\n");
  std::printf(" sxcode=%d", code);
  std::printf("  ->    %d  %d  %d  %d  %d  %d  %d  %d\n\n", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
}

void printusbbitsstate() {
  for (int d = 0; d < 4; d++) {
    for (int p = 0; p < 4; p++)
      for (int b = 0; b < 8; b++) std::printf("%d", par.usbbitsstate[d][p][b]);
    std::printf("  ");
  }
  std::printf("\n");
}

void runcodeconversion() {
  if (par.bits2codeflag == 1) {
    printcodefrombits(par.cdbits);
    xit(0);
  }
  if (par.bits2codeflag == 0) {
    printbitsfromcode(par.sxcode);
    xit(0);
  }
  std::printf("vistrum: ### add option -bits2code or -code2bits\n");
  std::printf("vistrum: ### N.B. stimtype 60=SXEXPT, 61=CODEBITS\n");
  xit(1);
}
