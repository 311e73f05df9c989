#include "somato/dio.h"

#include "config/params.h"
#include "core/xit.h"

#include <cstdio>

namespace {

constexpr int ROLE_TRIG = 1, ROLE_RESP = 2, ROLE_CODE = 3;

bool validport(int dev, int port) { return dev >= 0 && dev <= 3 && port >= 0 && port <= 3; }

}  // namespace

void setupdio() {
  if (par.sxcode2ttlflag && validport(par.codedevnum, par.codeportnum))
    for (int b = 0; b < 8; b++) par.usbbitsstate[par.codedevnum][par.codeportnum][b] = ROLE_CODE;
  if (par.logrespbitsflag && validport(par.respdevnum, par.respportnum))
    for (int b = 0; b < 8; b++) par.usbbitsstate[par.respdevnum][par.respportnum][b] = ROLE_RESP;
  if (validport(par.trigdevnum, par.trigportnum) && par.trigbitnum >= 0 && par.trigbitnum <= 7)
    par.usbbitsstate[par.trigdevnum][par.trigportnum][par.trigbitnum] = ROLE_TRIG;
}

// No device layer drives a box yet, so the output bit array stays empty.
int dioutputbitcount() { return 0; }

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
