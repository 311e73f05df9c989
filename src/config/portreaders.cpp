// Readers of the digital-port options. They keep `usbbitsstate`, the role of
// every (device, port, bit): each reader clears the role its option held
// before, then marks the new bits.
#include "config/optionlists.h"
#include "config/readers.h"
#include "core/xit.h"

namespace {

constexpr int ROLE_TRIG = 1, ROLE_RESP = 2, ROLE_CODE = 3, ROLE_GROUP = 4;

void needargs(int i, int argc, char** argv, int n) {
  if (i < argc) return;
  fatal("vistrum: ### %s needs %d args\n", argv[i - n], n);
}

void markport(int dev, int port, int role) {
  for (int b = 0; b < 8; b++) par.usbbitsstate[dev][port][b] = role;
}

void clearport(int dev, int port, int role) {
  if (dev < 0 || dev > 3 || port < 0 || port > 3) return;
  for (int b = 0; b < 8; b++)
    if (par.usbbitsstate[dev][port][b] == role) par.usbbitsstate[dev][port][b] = 0;
}

}  // namespace

int setusbtrig(int i, int argc, char** argv) {
  needargs(i, argc, argv, 3);
  if (par.trigdevnum >= 0 && par.trigdevnum <= 3 && par.trigportnum >= 0 && par.trigportnum <= 3 &&
      par.trigbitnum >= 0 && par.trigbitnum <= 7 &&
      par.usbbitsstate[par.trigdevnum][par.trigportnum][par.trigbitnum] == ROLE_TRIG)
    par.usbbitsstate[par.trigdevnum][par.trigportnum][par.trigbitnum] = 0;
  par.trigdevnum = getdevnum(argv[i - 2]);
  par.trigportnum = getportnum(argv[i - 1]);
  par.trigbitnum = getbitnum(argv[i]);
  par.usbbitsstate[par.trigdevnum][par.trigportnum][par.trigbitnum] = ROLE_TRIG;
  return i;
}

namespace {
// Moves a whole-port role (code output, response input) to a new port.
int moveportrole(int i, int argc, char** argv, int& dev, int& port, int role) {
  needargs(i, argc, argv, 2);
  clearport(dev, port, role);
  dev = getdevnum(argv[i - 1]);
  port = getportnum(argv[i]);
  markport(dev, port, role);
  return i;
}
}  // namespace

int setusbcode(int i, int argc, char** argv) {
  return moveportrole(i, argc, argv, par.codedevnum, par.codeportnum, ROLE_CODE);
}

int setusbresp(int i, int argc, char** argv) {
  return moveportrole(i, argc, argv, par.respdevnum, par.respportnum, ROLE_RESP);
}

int setusboutgroup(int i, int argc, char** argv) {
  needargs(i, argc, argv, 2);
  const int dev = getdevnum(argv[i - 1]);
  const int port = getportnum(argv[i]);
  markport(dev, port, ROLE_GROUP);
  par.bitarrayflag = 1;
  return i;
}

void printusbtrig(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -usbtrigbit %d %c %d\n", par.trigdevnum, getportlett(par.trigportnum), par.trigbitnum);
}

void printusbcode(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -usbcodeport %d %c\n", par.codedevnum, getportlett(par.codeportnum));
}

void printusbresp(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -usbrespport %d %c\n", par.respdevnum, getportlett(par.respportnum));
}

void printaddport(FILE* out, const OptionDef&) {
  for (int d = 0; d < 4; d++)
    for (int p = 0; p < 4; p++) {
      bool all = true;
      for (int b = 0; b < 8; b++) all = all && par.usbbitsstate[d][p][b] == ROLE_GROUP;
      if (all) std::fprintf(out, "   -addport2set %d %c\n", d, getportlett(p));
    }
}
