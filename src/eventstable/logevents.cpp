#include "eventstable/logevents.h"

#include "eventstable/loglines.h"

#include "core/numbers.h"
#include "core/stepping.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

using namespace logread;

namespace {

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
