// The device operations over the chosen backend. The layer keeps a copy of
// every output port, so that one bit can be switched without reading the
// box back, and of every input port, so that trigger pulses and response
// buttons are seen as changes.
#include "devices/dio.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/xit.h"
#include "devices/diobackend.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int ROLE_RESP = 2, ROLE_CODE = 3, ROLE_GROUP = 4;

// Backends that VISTRUM_DIO may name; a real-box backend is one more entry.
const DioBackend* const kBackends[] = {&diosimbackend, &dioserialbackend};

struct Device {
  bool selected = false;            // VISTRUM_DIO read
  const DioBackend* backend = nullptr;  // nullptr: no box attached
  std::string arg;
  int boxes = 0;                    // boxes opened
  bool output[4][4] = {};           // port directions
  unsigned char outval[4][4] = {};  // logical output values (1 = on)
  unsigned char inval[4][4] = {};
  long trigedges = 0;               // trigger-bit pulses (or changes) seen
  long trigbytechanges = 0;         // changes of the trigger port's byte
  long startedges = 0;              // trigedges at the current start
  bool counting = false;            // a start wait is counting the pulses
  int codepulseframes = 0;          // frames left before the code port returns to 0
  double frametime = 0.0;
};
Device dev;
BlankOutputsState blankoutputs;

// Output bit array: role-4 bits in box, port, bit order.
int usbbitarraydev[128], usbbitarrayport[128], usbbitarraybit[128];
int usbbitarraycnt = 0;

void selectbackend() {
  if (dev.selected) return;
  dev.selected = true;
  const char* env = std::getenv("VISTRUM_DIO");
  if (!env || !env[0] || !std::strcmp(env, "none")) return;
  const char* colon = std::strchr(env, ':');
  const std::string name = colon ? std::string(env, colon - env) : std::string(env);
  for (const DioBackend* b : kBackends)
    if (name == b->name) {
      dev.backend = b;
      dev.arg = colon ? colon + 1 : "";
      return;
    }
  fatal("vistrum: ### VISTRUM_DIO=%s: unknown digital I/O backend (use %s)\n", env, diobackendforms().c_str());
}

}  // namespace

std::string diobackendforms() {
  std::string s = "none";
  const size_t n = sizeof kBackends / sizeof kBackends[0];
  for (size_t k = 0; k < n; k++) {
    s += k + 1 == n ? " or " : ", ";
    s += std::string(kBackends[k]->name) + ":" + kBackends[k]->argform;
  }
  return s;
}

namespace {

bool portrole(int box, int port, int role) {
  for (int b = 0; b < 8; b++)
    if (par.usbbitsstate[box][port][b] == role) return true;
  return false;
}

void putport(int box, int port, unsigned char value, bool force) {
  if (!dev.backend || box >= dev.boxes || !dev.output[box][port]) return;
  if (!force && dev.outval[box][port] == value) return;
  dev.outval[box][port] = value;
  // With -nohighison the valves (or the code lines) are on while low.
  const unsigned char wire = par.highisonflag ? value : static_cast<unsigned char>(~value);
  dev.backend->writeport(box, port, wire, dev.frametime, gettimer());
}

// Inputs are logged when they arrive, on a waiting screen too (as keys
// are), with the time of their arrival: never held over to the next start.
void logrespchange(unsigned char v) {
  if (!par.logrespbitsflag || !runtimeknown()) return;
  logevent("RespBits: %9.3lf   %d%d%d%d%d%d%d%d\n", logtime(), (v >> 7) & 1, (v >> 6) & 1, (v >> 5) & 1,
           (v >> 4) & 1, (v >> 3) & 1, (v >> 2) & 1, (v >> 1) & 1, v & 1);
}

// Takes the pending input changes in order: all of them, or with `counter`
// up to the one that brings it to `until` (a start wait takes its own
// pulses only; the ones after them are the run's).
void pollinputs(const long* counter = nullptr, long until = 0) {
  if (!dev.backend) return;
  int box = 0, port = 0;
  unsigned char v = 0;
  while (!(counter && *counter >= until) && dev.backend->nextinput(&box, &port, &v)) {
    if (box < 0 || box >= dev.boxes || port < 0 || port > 3) continue;
    const unsigned char old = dev.inval[box][port];
    dev.inval[box][port] = v;
    if (old == v) continue;
    if (box == par.trigdevnum && port == par.trigportnum) {
      dev.trigbytechanges++;
      const int was = (old >> par.trigbitnum) & 1, now = (v >> par.trigbitnum) & 1;
      // A pulse is its rising edge; -toggletrigger counts every change.
      if (was != now && (par.toggletriggerflag || now)) {
        dev.trigedges++;
        // The pulses a start wait counts are its start, not events.
        // Before the first start they belong to no run: the terminal shows
        // them (the trigger test on "Ready"), the log does not.
        if (dev.backend->bytes && !dev.counting && !runtimeknown())
          std::printf("vistrum: box before the first start: pulse (not logged)\n");
        else if (dev.backend->bytes && !dev.counting)
          logevent("TrigPulse: %9.3lf   %ld   vol=%ld\n", logtime(), dev.trigedges, dev.trigedges - dev.startedges);
      }
    }
    if (box == par.respdevnum && port == par.respportnum) {
      logrespchange(v);
      if (dev.backend->bytes)
        for (int b = 0; b < 8; b++) {
          if (!((v >> b) & 1) || ((old >> b) & 1)) continue;
          if (!runtimeknown()) std::printf("vistrum: box before the first start: button %d (not logged)\n", b + 1);
          logkey(b + 1);
        }
    }
  }
}

void dioclose() {
  if (!dev.backend || !dev.boxes) return;
  usboutbytesoff();
  dev.backend->close();
  dev.boxes = 0;
}

void waitforcount(int n, const long& counter) {
  run.stimrunningflag = 0;
  if (!dioboxopen()) {
    waitforF1orF2key();
    return;
  }
  pollinputs();  // pulses from before the wait do not count
  const long start = counter;
  if (dev.backend->note) {
    char note[32];
    std::snprintf(note, sizeof note, "wait %d", n);
    dev.backend->note(note);
  }
  run.breakwaitflag = 0;
  dev.counting = true;
  while (!run.breakwaitflag && counter - start < n) {
    usleep(1000);
    checkkeyinput();
    pollinputs(&counter, start + n);
  }
  dev.counting = false;
}

}  // namespace

int dioutputbitcount() {
  if (usbbitarraycnt > 0) return usbbitarraycnt;
  selectbackend();
  if (!dev.backend || dev.backend->nooutputbits) return 0;
  const int boxes = dev.backend->probe(dev.arg.c_str());
  int n = 0;
  for (int box = 0; box < boxes && box < 4; box++)
    for (int port = 0; port < 4; port++)
      for (int b = 0; b < 8; b++) n += par.usbbitsstate[box][port][b] == ROLE_GROUP;
  return n < 128 ? n : 128;
}

void setupACCESdevs() {
  if (!par.setupusbflag) return;
  selectbackend();
  if (!dev.backend) {
    std::printf("vistrum: digital I/O: no box attached (VISTRUM_DIO=sim:<dir> rehearses with a simulated box)\n");
    return;
  }
  checkdioroles(dev.backend->probe(dev.arg.c_str()));
  dev.boxes = dev.backend->open(dev.arg.c_str());
  for (int box = 0; box < dev.boxes; box++)
    for (int port = 0; port < 4; port++) {
      dev.output[box][port] = portrole(box, port, ROLE_GROUP) || portrole(box, port, ROLE_CODE);
      dev.backend->setdirection(box, port, dev.output[box][port]);
    }
  usbbitarraycnt = 0;
  const char* none = dev.backend->nooutputbits;
  if (none)
    for (int port = 0; port < 4; port++)
      if (portrole(0, port, ROLE_GROUP)) {
        std::printf("vistrum: ### -addport2set 0 %c ignored: %s\n", 'A' + port, none);
        break;
      }
  for (int box = 0; box < dev.boxes && !none; box++)
    for (int port = 0; port < 4; port++)
      for (int b = 0; b < 8 && usbbitarraycnt < 128; b++)
        if (par.usbbitsstate[box][port][b] == ROLE_GROUP) {
          usbbitarraydev[usbbitarraycnt] = box;
          usbbitarrayport[usbbitarraycnt] = port;
          usbbitarraybit[usbbitarraycnt] = b;
          usbbitarraycnt++;
        }
  usboutbytesoff();
  std::atexit(dioclose);
  std::printf("vistrum: digital I/O: %s backend, %d box(es), %d output bits in the array\n", dev.backend->name,
              dev.boxes, usbbitarraycnt);
}

int countinitdDIO32s() { return dev.boxes; }
int countuninitdDIO32s() { return 0; }
bool dioboxopen() { return dev.backend && dev.boxes > 0; }

void sendusbcodebyte(unsigned char code, int n) {
  if (!dioboxopen() || par.codedevnum < 0 || par.codedevnum >= dev.boxes || par.codeportnum < 0) return;
  putport(par.codedevnum, par.codeportnum, code, false);
  dev.codepulseframes = n > 0 ? n : 0;
}

void setusbarraybit(int bitnum, int state) {
  if (!dioboxopen() || bitnum < 1 || bitnum > usbbitarraycnt) return;
  const int k = bitnum - 1, box = usbbitarraydev[k], port = usbbitarrayport[k];
  const unsigned char mask = static_cast<unsigned char>(1u << usbbitarraybit[k]);
  const unsigned char v = state ? (dev.outval[box][port] | mask) : (dev.outval[box][port] & ~mask);
  putport(box, port, v, false);
}

void usboutbytesoff() {
  if (!dioboxopen()) return;
  dev.codepulseframes = 0;
  for (int box = 0; box < dev.boxes; box++)
    for (int port = 0; port < 4; port++) putport(box, port, 0, true);
}

void log0usbrespbits() { pollinputs(); }
void diopoll() { pollinputs(); }
void dionewstart() { dev.startedges = dev.trigedges; }
const char* dionooutputbits() {
  selectbackend();
  return dev.backend ? dev.backend->nooutputbits : nullptr;
}

void waitforusbtrigbits(int n) { waitforcount(n, dev.trigedges); }
void waitforusbtrigbytes(int n) { waitforcount(n, dev.trigbytechanges); }

void resetblankoutputs(BlankOutputsState& s) { s = BlankOutputsState{}; }

BlankOutputsState& blankoutputsstate() { return blankoutputs; }

void dioframe(double t, bool outputsoffatstart) {
  if (!dioboxopen()) return;
  dev.frametime = t;
  // A type that drives no output of its own (the background-only type) has
  // its outputs switched off here, once at the start of each run.
  if (outputsoffatstart && !blankoutputs.started) {
    usboutbytesoff();
    blankoutputs.started = true;
  }
  if (dev.codepulseframes > 0 && --dev.codepulseframes == 0) putport(par.codedevnum, par.codeportnum, 0, false);
  log0usbrespbits();
}
