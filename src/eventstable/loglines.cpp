#include "eventstable/loglines.h"

#include "core/numbers.h"
#include "eventstable/logevents.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace logread {

namespace {

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

}  // namespace

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

std::string describetype(const std::string& tt) {
  if (tt == "trigger") return kTriggerWhat;
  if (tt == "delay") return kDelayWhat;
  if (tt.rfind("wedge_", 0) == 0) return kWedgeWhat;
  if (tt.rfind("code_", 0) == 0) return "scenario code " + tt.substr(5);
  for (const Kind& k : kKinds)
    if (k.trialtype && tt == k.trialtype) return k.what;
  return "block condition \"" + tt + "\"";
}

}  // namespace logread

using namespace logread;

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
