#include "eventstable/logevents.h"

#include "core/numbers.h"
#include "core/stepping.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace {

// What a line kind means for the table.
enum class Role {
  condition,   // a block condition: lasts until the next condition or end
  target,      // something the subject answers: gets response columns
  item,        // a shown or played item, a code, a pulse: one instant
  response,    // a subject's answer
  start,       // the stimulus timer starts here (a start line)
  restart,     // F1 or the counted trigger: the timer restarts after the line
  restartwait, // F2: the run waits for a new start
  preend,      // end of a fixation pre-period: the timer restarts after it
  clockreset,  // the line written right after that restart
  end,         // an end of the stimulus, the run or the experiment
  postend,     // end of the post-period: the run waits for a new start
  other,       // operator actions and bookkeeping
};

struct Kind {
  const char* word;       // event word before the colon
  Role role;
  const char* trialtype;  // nullptr: the trial type comes from the line
  const char* what;       // description for the sidecar
};

const Kind kKinds[] = {
    {"StimEvent", Role::condition, nullptr, "block condition (its name as in the log)"},
    {"InitRndBlk", Role::other, "random_blocks_start", "start of the random block sequence (value: condition count)"},
    {"RndBlkExptDone", Role::end, "random_blocks_done", "all random blocks done"},
    {"FixEvent", Role::target, "fixation_target", "fixation target (value: frame offset)"},
    {"OriEvent", Role::target, "orientation_target", "wedge jerk target (value: degrees)"},
    {"ShiftEvent", Role::target, "shift_target", "four-quadrant jerk target (value: degrees)"},
    {"ChkEvent", Role::target, "check_target", "single-check target (value: radius)"},
    {"SfChgEvent", Role::target, "spatial_frequency_target", "spatial-frequency target (value: factor)"},
    {"DispEvent", Role::target, "disparity_target", "stereo disparity target (value: disparity)"},
    {"FlowEvent", Role::target, "flow_target", "flow target (value: radius; detail: angle)"},
    {"RedEvent", Role::target, "red_dot_target", "red dot target"},
    {"DimEvent", Role::target, "dim_target", "dimming target (detail: fraction, frames)"},
    {"ImgColEvent", Role::target, "image_colour_target", "coloured image target (value: image)"},
    {"ImgZoomEvent", Role::target, "image_zoom_target", "zooming image target (value: image)"},
    {"1BakEvent", Role::target, "one_back_target", "one-back repeat"},
    {"FontEvent", Role::target, "font_target", "font target"},
    {"LetEvent", Role::item, "letter", "letter shown (value: the letter)"},
    {"NumEvent", Role::target, "number", "number task digit, a target (value: the number)"},
    {"RealMotEvent", Role::item, "real_motion", "real-motion image step (detail: images)"},
    {"TiffEvent", Role::target, "picture_target", "target picture shown (value: the target names' infix)"},
    {"TgRetEvent", Role::item, "saccade_target_return", "delayed-saccade target return"},
    {"PainEvent", Role::item, "laser_pulse", "laser pulse (detail: finger, position)"},
    {"SXCdeEvent", Role::item, nullptr, "scenario code (its #code name, else code_<n>; duration: the event's)"},
    {"SndFile", Role::item, "sound", "sound started (value: file name)"},
    {"TrigPulse", Role::item, "trigger", "scanner trigger pulse from a serial box (value: the volume within the start)"},
    {"BoxLost", Role::other, "box_lost", "the serial box vanished: no pulses or presses after this (detail: why)"},
    {"BoxFlood", Role::other, "box_flood", "the serial box sent more in a frame than pulses and presses can be (read on in later frames)"},
    {"PuffHeld", Role::other, "puff_held", "an air puff opened a frame late, apart from the one before (detail: tube, due time)"},
    {"KeyEvent", Role::response, "response", "subject key press (response: the key)"},
    {"RespBits", Role::response, "response", "response input bits (response: the bits)"},
    {"StartPulse", Role::start, "start",
     "run start (value: what started it, F1, trigger_key, box_pulses, F1_at_done or F1_restart; detail: start mode)"},
    {"F1-reset", Role::restart, "restart", "restart by F1 or the counted trigger (the next start follows)"},
    {"F2-resetwait", Role::restartwait, "restart_wait", "restart by F2: waits for a new start"},
    {"EndPrePer", Role::preend, "prestim_end", "end of the fixation pre-period"},
    {"EndPrePrePer", Role::preend, "presaccade_test_end", "end of the pre-saccade fixation test"},
    {"PrePerReset", Role::clockreset, nullptr, nullptr},
    {"PrePrePerReset", Role::clockreset, nullptr, nullptr},
    {"EndPeriod", Role::end, "stimulus_end", "end of the stimulus period"},
    {"EndPostPer", Role::postend, "poststim_end", "end of the fixation post-period"},
    {"ExptEnd", Role::end, "experiment_end", "end time reached"},
    {"Interrupt", Role::end, "interrupt", "run ended by Esc"},
    {"SXExptDone", Role::end, "scenario_done", "scenario finished"},
    {"RandSeed", Role::other, "random_seed", "seed the trial order was drawn from (value: the seed)"},
    {"CurScale", Role::other, "scale_change", "operator scale step (value: the scale)"},
};

// Trial types written from the line itself, described in the sidecar too.
const char* const kWedgeWhat = "event-related wedge trial at this polar angle (detail: nback_repeat for a repeat)";
const char* const kDelayWhat = "delay between event-related wedge trials";
const char* const kTriggerWhat = "scanner trigger pulse (the 5 key with -fivekeytrigger, or a serial box's pulse)";

const Kind* findkind(const std::string& word) {
  for (const Kind& k : kKinds)
    if (word == k.word) return &k;
  return nullptr;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool number(const std::string& s, double* v) { return readwholereal(s.c_str(), v); }

std::vector<std::string> words(const std::string& s) {
  std::vector<std::string> w;
  std::istringstream in(s);
  std::string x;
  while (in >> x) w.push_back(x);
  return w;
}

// One log line, understood.
struct Parsed {
  const Kind* kind = nullptr;
  std::string word;        // event word as written
  std::string tag;         // "00" in "StartPulse(00):"
  double time = NAN;       // the logged time
  std::string fields;      // what follows the time (end marks removed)
  std::string trialtype;   // for kinds that take it from the line
  bool target = false;
  double duration = NAN;
  bool delay = false;
  int lineno = 0;
  std::string text;
};

// Splits "Word(tag):  time  fields" into its parts; false when the line is no event line.
bool parseline(const std::string& raw, Parsed* p) {
  const std::string s = trim(raw);
  // The event-related wedge lines carry their own start and stop times.
  if (s.rfind("angle:", 0) == 0) {
    double angle, start, stop;
    char hit[16] = "";
    const int n = std::sscanf(s.c_str(), "angle: %lf deg. start: %lf stop: %lf %15s", &angle, &start, &stop, hit);
    if (n < 3) return false;
    p->word = "angle";
    char tt[48];
    std::snprintf(tt, sizeof tt, "wedge_%.1f", angle);
    p->trialtype = tt;
    p->time = start;
    p->duration = stop - start;
    p->target = std::strcmp(hit, "(hit)") == 0;
    char fields[64];
    std::snprintf(fields, sizeof fields, "%.1f", angle);
    p->fields = fields;
    return true;
  }
  if (s.rfind("delay period (", 0) == 0) {
    double d;
    if (std::sscanf(s.c_str(), "delay period (%lf sec)", &d) != 1) return false;
    p->word = "delay period";
    p->trialtype = "delay";
    p->duration = d;
    p->delay = true;
    p->fields = s.find("clearing nbacks") != std::string::npos ? "clearing nbacks" : "";
    return true;
  }
  const size_t colon = s.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string word = s.substr(0, colon);
  if (word.find(' ') != std::string::npos) return false;
  const size_t paren = word.find('(');
  if (paren != std::string::npos && word.back() == ')') {
    p->tag = word.substr(paren + 1, word.size() - paren - 2);
    word = word.substr(0, paren);
  }
  p->word = word;
  std::string rest = trim(s.substr(colon + 1));
  if (word == "Feedback") {
    p->fields = rest;
    return true;
  }
  p->kind = findkind(word);
  if (!p->kind) return false;
  std::vector<std::string> w = words(rest);
  while (!w.empty() && w.back().find_first_not_of('#') == std::string::npos) w.pop_back();
  if (w.empty()) return false;
  // The sound line names its file first and ends with the time.
  if (p->kind->role == Role::item && word == "SndFile") {
    if (!number(w.back(), &p->time)) return false;
    w.pop_back();
  } else {
    if (!number(w.front(), &p->time)) return false;
    w.erase(w.begin());
  }
  std::string f;
  for (const std::string& x : w) f += (f.empty() ? "" : " ") + x;
  p->fields = f;
  p->target = p->kind->role == Role::target;
  return true;
}

// The line's main field, and the rest.
void splitfields(const Parsed& p, std::string* value, std::string* detail) {
  const std::string& f = p.fields;
  if (p.word == "StimEvent") {
    // "name (n)": the name is the trial type, the number the value.
    const size_t open = f.rfind(" (");
    if (open != std::string::npos && f.back() == ')') {
      *value = f.substr(open + 2, f.size() - open - 3);
      return;
    }
    return;
  }
  if (p.word == "KeyEvent" && f.size() >= 2 && f[0] == 'k') {
    *value = f.substr(1);
    return;
  }
  if (p.word == "InitRndBlk") {
    const size_t eq = f.find('=');
    *value = eq == std::string::npos ? f : f.substr(eq + 1);
    return;
  }
  if (p.word == "StartPulse") {
    *value = p.tag;
    return;
  }
  if (p.word == "TrigPulse") {
    // "26   vol=3": pulses since the box opened, and the volume of this start.
    const size_t vol = f.find("vol=");
    *value = vol == std::string::npos ? f.substr(0, f.find(' ')) : trim(f.substr(vol + 4));
    *detail = vol == std::string::npos ? "" : "pulse " + trim(f.substr(0, vol)) + " since the box opened";
    return;
  }
  if (p.word == "SndFile") {
    *value = f;
    return;
  }
  if (p.word == "TiffEvent") {
    // "targ0   (0.500 sec)": the infix, and how long the picture shows.
    const size_t open = f.rfind(" (");
    *value = open != std::string::npos && f.back() == ')' ? trim(f.substr(0, open)) : f;
    return;
  }
  if (p.word == "delay period") {
    char d[32];
    std::snprintf(d, sizeof d, "%.3f", p.duration);
    *value = d;
    *detail = f;
    return;
  }
  // Otherwise the first field is the value, unless it is a key=value field.
  const size_t sp = f.find(' ');
  const std::string first = f.substr(0, sp);
  if (!first.empty() && first.find('=') == std::string::npos && first.find(',') == std::string::npos) {
    *value = first;
    *detail = sp == std::string::npos ? "" : trim(f.substr(sp + 1));
  } else {
    *detail = f;
  }
  // "x1.5" (factor) and "r=0.25" (radius) keep their number as the value.
  if (p.word == "SfChgEvent" && !value->empty() && (*value)[0] == 'x') *value = value->substr(1);
  if ((p.word == "ChkEvent" || p.word == "FlowEvent") && detail->rfind("r=", 0) == 0) {
    const size_t end = detail->find_first_of(" ,");
    *value = detail->substr(2, end == std::string::npos ? std::string::npos : end - 2);
    *detail = end == std::string::npos ? "" : trim(detail->substr(end + 1));
  }
}

struct Header {
  int stimtype = -1;
  std::string commandline;
  bool fivekeytrigger = false;
  bool triggerkey = false;  // a counted trigger key (5, apostrophe, T) starts the run
  double maxrt = -1;
  double framedur = -1;   // a frame's seconds: -framerate, or a saving rate the run steps at
  double savedend = NAN;  // the time after a saved-frame run's last frame
};

void readheaderline(const std::string& s, Header* h) {
  int n;
  if (std::sscanf(s.c_str(), "Vistrum logfile for stimtype=%d", &n) == 1) h->stimtype = n;
  // The working folder's line may hold any words, also " -s ".
  if (s.rfind("pwd = ", 0) == 0) return;
  const std::vector<std::string> w = words(s);
  bool cmd = false;
  for (const std::string& x : w) cmd = cmd || x == "-s" || x == "-stimtype";
  if (!cmd || !h->commandline.empty()) return;
  h->commandline = trim(s);
  double frames = NAN, first = 0, savedur = NAN, framedur = 1.0 / 60.0;
  for (size_t k = 0; k < w.size(); k++) {
    if (w[k] == "-fivekeytrigger") h->fivekeytrigger = true;
    if (w[k] == "-nofivekeytrigger") h->fivekeytrigger = false;
    if (w[k] == "-fivekeytrigger" || w[k] == "-apostrophetrigger" || w[k] == "-tkeytrigger") h->triggerkey = true;
    double v, r;
    if (w[k] == "-maxcorrectRT" && k + 1 < w.size() && number(w[k + 1], &v)) h->maxrt = v;
    if (w[k] == "-firstframetime" && k + 1 < w.size() && number(w[k + 1], &v)) first = v;
    if (w[k] == "-framerate" && k + 1 < w.size() && number(w[k + 1], &r) && r > 0) {
      framedur = 1.0 / r;
      h->framedur = framedur;
    }
    if (w[k] == "-saveframes" && k + 2 < w.size() && number(w[k + 1], &v) && number(w[k + 2], &r) && r > 0) {
      frames = v;
      savedur = 1.0 / r;
    }
  }
  if (!(frames > 0)) return;
  // As the program steps it: at the display's rate, or at a saving rate that
  // is not every n-th frame. The last frame shows for one frame.
  if (!savesonthegrid(savedur, framedur)) framedur = savedur;
  h->framedur = framedur;
  h->savedend = first + (frames - 1) * savedur + framedur;
}

// "targ offset (30 frames)": the frame count, 0 when absent.
int framesfield(const std::string& f) {
  const size_t open = f.rfind('(');
  return open == std::string::npos ? 0 : std::atoi(f.c_str() + open + 1);
}

bool isrestartrole(Role r) { return r == Role::restart || r == Role::restartwait || r == Role::postend; }

// What started a run, from the lines round its start: the restart line at
// `k` (F1 or the counted trigger key), or a start line with no restart
// before it (the box's pulses, or a wait's own end).
std::string startcause(const std::vector<Parsed>& lines, size_t k, const Header& h) {
  const Parsed& p = lines[k];
  if (p.word == "StartPulse") return std::atoi(p.tag.c_str()) > 0 ? "box_pulses" : "start";
  const bool startline = k + 1 < lines.size() && lines[k + 1].word == "StartPulse";
  if (startline) return std::atoi(lines[k + 1].tag.c_str()) > 0 && h.triggerkey ? "trigger_key" : "F1";
  // No start line after it: F1 on the "Done" screen, or a restart while running.
  for (size_t j = k; j-- > 0;) {
    const Role r = lines[j].kind ? lines[j].kind->role : Role::item;
    if (r == Role::postend) return "F1_at_done";
    if (r == Role::restartwait) return "F1";
    if (r == Role::start || r == Role::restart) break;
  }
  return "F1_restart";
}

// Times above this were read before the timer was ever reset: the clock
// then reads the seconds since the epoch (about 1.8e9); a run's own times
// stay far below it (3 years).
constexpr double kUnresetTime = 1.0e8;

void addrow(EventsTable* t, const Parsed& p, double onset) {
  EventRow r;
  r.onset = onset;
  r.event = p.word;
  r.logtime = p.delay ? NAN : p.time;
  r.line = p.lineno;
  r.target = p.target;
  r.duration = p.duration;
  splitfields(p, &r.value, &r.detail);
  if (!p.trialtype.empty()) {
    r.trialtype = p.trialtype;
  } else if (p.kind && p.kind->trialtype) {
    r.trialtype = p.kind->trialtype;
  } else if (p.word == "StimEvent") {
    const size_t open = p.fields.rfind(" (");
    r.trialtype = open != std::string::npos && p.fields.back() == ')' ? p.fields.substr(0, open) : p.fields;
  } else if (p.word == "SXCdeEvent") {
    // "7   dur=0.250 name=face": the scenario's own name and length when given.
    const size_t nm = r.detail.find("name=");
    r.trialtype = nm != std::string::npos ? trim(r.detail.substr(nm + 5)) : "code_" + r.value;
    double dur;
    const size_t d = r.detail.find("dur=");
    if (d != std::string::npos && std::sscanf(r.detail.c_str() + d, "dur=%lf", &dur) == 1) r.duration = dur;
  }
  // The word-form blocks mark a target by colouring the word, not by its font.
  if (p.word == "FontEvent" && r.value == "red") r.trialtype = "red_word_target";
  if (p.word == "angle" && p.target) r.detail = "nback_repeat";
  if (p.kind && p.kind->role == Role::response) r.response = p.word == "KeyEvent" ? r.value : p.fields;
  // Block conditions get their length later; sounds, pictures and codes
  // last as long as the file or scenario says, which the log does not.
  const bool unknown = p.word == "StimEvent" || p.word == "SndFile" || p.word == "TiffEvent" || p.word == "SXCdeEvent";
  if (p.word == "TiffEvent") {
    double shown;
    const size_t open = p.fields.rfind(" (");
    if (open != std::string::npos && std::sscanf(p.fields.c_str() + open, " (%lf sec)", &shown) == 1) r.duration = shown;
  }
  if (std::isnan(r.duration) && !unknown) r.duration = 0;
  t->rows.push_back(r);
}

// Block conditions last until the next condition, end or restart line.
void setconditiondurations(EventsTable* t, const std::vector<bool>& closes) {
  for (size_t k = 0; k < t->rows.size(); k++) {
    if (t->rows[k].event != "StimEvent") continue;
    for (size_t j = k + 1; j < t->rows.size(); j++) {
      if (t->rows[j].event == "StimEvent" || closes[j]) {
        t->rows[k].duration = std::max(0.0, t->rows[j].onset - t->rows[k].onset);
        break;
      }
    }
  }
}

// With -logrespbits a box's press writes its bits and a key line for each
// button that went down, at the same time; its release writes the bits
// again. One press is one answer: the key line where there is one, else the
// bits that rose. Bits that only fall are a release, not an answer.
void pairresponsebits(EventsTable* t) {
  std::string last = "";
  for (size_t k = 0; k < t->rows.size(); k++) {
    EventRow& r = t->rows[k];
    if (r.event == "StartPulse" || r.event == "F1-reset") last.clear();
    if (r.event != "RespBits") continue;
    const std::string bits = r.response;
    bool rose = false;
    for (size_t b = 0; b < bits.size(); b++)
      rose = rose || (bits[b] == '1' && (b >= last.size() || last[b] != '1'));
    last = bits;
    bool keyed = false;
    for (size_t j = k + 1; j < t->rows.size() && t->rows[j].onset - r.onset < 1e-6; j++)
      keyed = keyed || t->rows[j].event == "KeyEvent";
    if (rose && !keyed) continue;
    r.trialtype = rose ? "response_bits" : "response_release";
    r.value = bits;
    r.response.clear();
  }
}

// Nothing runs past the end of the run: Esc, the end time, the end of the
// post-period, a restart, or a saved-frame run's last frame. Rows that begin
// after it never showed; rows that reach past it were cut short.
bool runendrow(const EventRow& r) {
  const std::string& k = r.trialtype;
  return k == "interrupt" || k == "experiment_end" || k == "poststim_end" || k == "restart" || k == "restart_wait";
}

void cuttorunend(EventsTable* t, double savedend) {
  double end = savedend;
  for (const EventRow& r : t->rows)
    if (runendrow(r)) {
      if (!(r.onset >= end)) end = r.onset;
      break;
    }
  if (std::isnan(end)) return;
  std::vector<EventRow> kept;
  for (EventRow& r : t->rows) {
    if (r.onset > end + 1e-9 && !runendrow(r)) continue;
    if (!std::isnan(r.duration) && r.onset + r.duration > end) r.duration = std::max(0.0, end - r.onset);
    kept.push_back(r);
  }
  t->rows = kept;
}

// The first answer after a target and before the next one, when in time.
void matchresponses(EventsTable* t) {
  for (size_t k = 0; k < t->rows.size(); k++) {
    EventRow& tg = t->rows[k];
    if (!tg.target) continue;
    for (size_t j = k + 1; j < t->rows.size(); j++) {
      const EventRow& r = t->rows[j];
      if (r.target) break;
      if (r.trialtype != "response") continue;
      const double rt = r.onset - tg.onset;
      if (rt <= t->maxrt) {
        tg.response = r.response;
        tg.responsetime = rt;
      }
      break;
    }
  }
}

}  // namespace

EventsTable convertlog(std::istream& in, const EventsOptions& opt) {
  EventsTable t;
  Header h;
  std::vector<Parsed> lines;
  std::string s;
  int lineno = 0;
  bool seenevent = false;
  while (std::getline(in, s)) {
    lineno++;
    Parsed p;
    p.lineno = lineno;
    p.text = s;
    if (trim(s).empty()) continue;
    // A last line without its newline was cut in mid-write (a killed run,
    // a full disk): "NumEvent:    5" of "58.800" is no event at 5 s.
    if (in.eof()) {
      t.unmapped.push_back({lineno, "cut last line (no newline)", s});
      break;
    }
    if (parseline(s, &p)) {
      seenevent = true;
      lines.push_back(p);
    } else if (!seenevent) {
      readheaderline(s, &h);
    } else {
      t.unmapped.push_back({lineno, "not an event line this program writes", s});
    }
  }
  t.stimtype = h.stimtype;
  t.commandline = h.commandline;
  t.maxrt = opt.maxrt >= 0 ? opt.maxrt : h.maxrt >= 0 ? h.maxrt : 2.0;
  if (opt.fivekeytrigger >= 0) h.fivekeytrigger = opt.fivekeytrigger != 0;
  t.framedur = opt.framedur > 0 ? opt.framedur : h.framedur > 0 ? h.framedur : 1.0 / 60.0;

  // Segments: a restart (after its own line) or a start line that follows
  // anything but a restart begins one; F2 and the end of the post-period
  // leave the run waiting until the next start.
  // Lines before any start or restart form a segment of their own (a run
  // that started at once writes no start line).
  std::vector<int> seg(lines.size(), 0);
  std::vector<bool> waiting(lines.size(), false);
  bool wait = false, afterrestart = false;
  for (size_t k = 0; k < lines.size(); k++) {
    const Parsed& p = lines[k];
    const Role role = p.kind ? p.kind->role : Role::item;
    if (role == Role::start && !afterrestart) t.segments.push_back({p.lineno, 0});
    if (t.segments.empty() && role != Role::start && role != Role::restart) {
      if (p.time > kUnresetTime) continue;  // keys on the first "Ready" screen: no segment
      t.segments.push_back({p.lineno, 0});
    }
    if (role == Role::start) wait = false;
    seg[k] = static_cast<int>(t.segments.size());
    waiting[k] = wait;
    afterrestart = false;
    if (role == Role::restart) {
      t.segments.push_back({p.lineno, 0});
      afterrestart = true;
      wait = false;
      continue;
    }
    if (role == Role::restartwait || role == Role::postend) wait = true;
    const bool counts = !waiting[k] && role != Role::start && !isrestartrole(role) && role != Role::clockreset &&
                        p.word != "Feedback" && !(p.time > kUnresetTime);
    if (counts) t.segments.back().rows++;
  }
  int chosen = opt.segment;
  if (chosen < 0) chosen = static_cast<int>(t.segments.size());
  if (chosen == 0) {
    chosen = static_cast<int>(t.segments.size());
    for (int k = chosen; k >= 1; k--)
      if (t.segments[static_cast<size_t>(k - 1)].rows > 0) {
        chosen = k;
        break;
      }
  }
  if (chosen > static_cast<int>(t.segments.size())) chosen = 0;
  t.chosen = chosen;

  // Rows of the chosen segment, with the pre-period ends folded into onsets.
  double offset = 0, pendingpre = NAN, laststop = NAN;
  bool started = false;
  std::vector<bool> closes;
  for (size_t k = 0; k < lines.size(); k++) {
    const Parsed& p = lines[k];
    const Role role = p.kind ? p.kind->role : Role::item;
    if (p.word == "Feedback") {
      t.feedback = p.fields;
      t.unmapped.push_back({p.lineno, "final score text, no time", p.text});
      continue;
    }
    // The restart that begins the chosen segment is its start, at 0.
    if (role == Role::restart && seg[k] == chosen - 1) {
      EventRow r;
      r.onset = 0;
      r.duration = 0;
      r.trialtype = "start";
      r.value = startcause(lines, k, h);
      r.event = p.word;
      r.logtime = p.time;
      r.line = p.lineno;
      t.rows.push_back(r);
      closes.push_back(false);
      started = true;
      continue;
    }
    if (seg[k] == 0 && role != Role::restart) {
      t.unmapped.push_back({p.lineno, "before the first start (timer not yet reset)", p.text});
      continue;
    }
    if (seg[k] != chosen) continue;
    if (waiting[k]) {
      if (!isrestartrole(role)) t.unmapped.push_back({p.lineno, "while waiting for a start", p.text});
      continue;
    }
    if (p.time > kUnresetTime) {
      t.unmapped.push_back({p.lineno, "before the first start (timer not yet reset)", p.text});
      continue;
    }
    if (role == Role::start && started) continue;  // the start line after F1: one start
    if (role == Role::clockreset) {
      if (std::isnan(pendingpre)) {
        t.unmapped.push_back({p.lineno, "timer reset without the end of a pre-period before it", p.text});
      } else {
        offset += pendingpre;
        pendingpre = NAN;
      }
      continue;
    }
    if (p.delay) {
      if (std::isnan(laststop)) {
        t.unmapped.push_back({p.lineno, "delay without a wedge trial before it", p.text});
        continue;
      }
      addrow(&t, p, laststop);
      closes.push_back(false);
      continue;
    }
    double onset = offset + p.time;
    if (p.word == "angle") laststop = onset + p.duration;
    if (role == Role::preend) pendingpre = p.time;
    // A fixation target is logged on its last dimmed frame: it began
    // frames - 1 frames earlier and lasted its frames.
    const int dimmed = p.word == "FixEvent" ? framesfield(p.fields) : 0;
    if (dimmed > 0) onset -= (dimmed - 1) * t.framedur;
    addrow(&t, p, onset);
    EventRow& r = t.rows.back();
    if (role == Role::start) {
      r.detail = "start mode " + r.value;
      r.value = startcause(lines, k, h);
    }
    if (dimmed > 0) r.duration = dimmed * t.framedur;
    if (p.word == "KeyEvent" && r.value == "5" && h.fivekeytrigger) {
      r.trialtype = "trigger";
      r.response.clear();
    }
    closes.push_back(role == Role::end || isrestartrole(role) || role == Role::preend);
  }
  // Onset order (stable, so lines written together keep their order).
  std::vector<size_t> order(t.rows.size());
  for (size_t k = 0; k < order.size(); k++) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return t.rows[a].onset < t.rows[b].onset; });
  std::vector<EventRow> rows;
  std::vector<bool> cl;
  for (size_t k : order) {
    rows.push_back(t.rows[k]);
    cl.push_back(closes[k]);
  }
  t.rows = rows;
  setconditiondurations(&t, cl);
  pairresponsebits(&t);
  cuttorunend(&t, h.savedend);
  matchresponses(&t);
  std::stable_sort(t.unmapped.begin(), t.unmapped.end(),
                   [](const UnmappedLine& a, const UnmappedLine& b) { return a.line < b.line; });
  return t;
}

namespace {

std::string num(double v) {
  if (std::isnan(v)) return "n/a";
  char b[32];
  std::snprintf(b, sizeof b, "%.3f", v);
  if (std::strcmp(b, "-0.000") == 0) return "0.000";
  return b;
}

std::string cell(const std::string& s) {
  if (s.empty()) return "n/a";
  std::string c = s;
  for (char& ch : c)
    if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
  return c;
}

std::string jsonstr(const std::string& s) {
  std::string o = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      o += '\\';
      o += static_cast<char>(c);
    } else if (c < 0x20) {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", c);
      o += b;
    } else {
      o += static_cast<char>(c);
    }
  }
  return o + "\"";
}

std::string describetype(const std::string& tt) {
  if (tt == "trigger") return kTriggerWhat;
  if (tt == "delay") return kDelayWhat;
  if (tt.rfind("wedge_", 0) == 0) return kWedgeWhat;
  if (tt.rfind("code_", 0) == 0) return "scenario code " + tt.substr(5);
  for (const Kind& k : kKinds)
    if (k.trialtype && tt == k.trialtype) return k.what;
  return "block condition \"" + tt + "\"";
}

}  // namespace

void writeeventstsv(std::ostream& out, const EventsTable& t) {
  out << "onset\tduration\ttrial_type\tresponse\tresponse_time\tvalue\tdetail\tlog_event\tlog_time\tlog_line\n";
  for (const EventRow& r : t.rows) {
    out << num(r.onset) << '\t' << num(r.duration) << '\t' << cell(r.trialtype) << '\t' << cell(r.response) << '\t'
        << num(r.responsetime) << '\t' << cell(r.value) << '\t' << cell(r.detail) << '\t' << cell(r.event) << '\t'
        << num(r.logtime) << '\t' << r.line << '\n';
  }
}

void writeeventsjson(std::ostream& out, const EventsTable& t, const char* version) {
  std::map<std::string, std::string> levels;
  for (const EventRow& r : t.rows)
    if (!r.trialtype.empty()) levels[r.trialtype] = describetype(r.trialtype);
  char rt[200];
  std::snprintf(rt, sizeof rt,
                "Seconds from a target to the first key after it, when it came before the next target and within "
                "%.3f s; the same rule the program scores by",
                t.maxrt);
  struct Col {
    const char* name;
    const char* longname;
    std::string description;
    bool seconds;
  };
  const Col cols[] = {
      {"onset", "Event onset", "Seconds from the start of the run (the start trigger) to the event", true},
      {"duration", "Event duration",
       "Seconds: block conditions last until the next condition or end line; targets, keys and pulses are "
       "instants (0); n/a where the log does not tell",
       true},
      {"trial_type", "Event type", "The condition name, target kind or line kind of the event", false},
      {"response", "Response", "The key (0-9) or input bits answered; for targets, the first answer after them",
       false},
      {"response_time", "Response time", rt, true},
      {"value", "Main field", "The main field of the log line (condition number, key, radius, file name, ...)",
       false},
      {"detail", "Other fields", "The other fields of the log line, as written", false},
      {"log_event", "Log event word", "The event word of the log line", false},
      {"log_time", "Logged time", "The time as written in the log (seconds since the last timer reset)", true},
      {"log_line", "Log line number", "Line number of the event in the log file", false},
  };
  out << "{\n";
  for (const Col& c : cols) {
    out << "  " << jsonstr(c.name) << ": {\n";
    out << "    \"LongName\": " << jsonstr(c.longname) << ",\n";
    out << "    \"Description\": " << jsonstr(c.description);
    if (c.seconds) out << ",\n    \"Units\": \"s\"";
    if (std::strcmp(c.name, "trial_type") == 0 && !levels.empty()) {
      out << ",\n    \"Levels\": {\n";
      size_t n = 0;
      for (const auto& l : levels)
        out << "      " << jsonstr(l.first) << ": " << jsonstr(l.second) << (++n < levels.size() ? ",\n" : "\n");
      out << "    }";
    }
    out << "\n  },\n";
  }
  out << "  \"StimulusPresentation\": {\n";
  out << "    \"SoftwareName\": \"vistrum\",\n";
  out << "    \"SoftwareVersion\": " << jsonstr(version ? version : "") << "\n";
  out << "  }\n}\n";
}

bool scoredtarget(const EventRow& r) { return r.target && (r.event == "FixEvent" || r.event == "NumEvent"); }

StartScore scorestart(const EventsTable& t) {
  // The pre-saccade test's end starts the count over, as a restart does.
  double from = -INFINITY;
  for (const EventRow& r : t.rows)
    if (r.event == "EndPrePrePer") from = r.onset;
  StartScore s;
  for (const EventRow& r : t.rows) {
    if (!scoredtarget(r) || r.onset < from) continue;
    s.targets++;
    s.numbers += r.event == "NumEvent";
    s.hits += !r.response.empty();
  }
  if (s.targets > 0) s.percent = std::min(100, static_cast<int>(static_cast<float>(s.hits) * 100.0f / static_cast<float>(s.targets)));
  return s;
}

bool stimulusonset(const char* line) {
  const char* colon = std::strchr(line, ':');
  if (!colon) return false;
  std::string word(line, static_cast<size_t>(colon - line));
  const size_t paren = word.find('(');
  if (paren != std::string::npos) word = word.substr(0, paren);
  if (word == "angle") return true;  // an event-related wedge trial
  const Kind* k = findkind(word);
  if (!k) return false;
  // Sounds, laser pulses and the box's pulses are not on the screen.
  if (word == "SndFile" || word == "PainEvent" || word == "TrigPulse") return false;
  return k->role == Role::condition || k->role == Role::target || k->role == Role::item;
}
