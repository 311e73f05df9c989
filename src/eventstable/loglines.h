// Reading the program's log lines: what each line kind means for the
// events table, and one line split into its parts. Shared by the table's
// conversion, its sidecar and the photodiode's onset test.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace logread {

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

// The kind of an event word (nullptr: no kind of the table's).
const Kind* findkind(const std::string& word);
// The sidecar's description of a trial type.
std::string describetype(const std::string& trialtype);
std::string trim(const std::string& s);
// A whole number or real, nothing else on it.
bool number(const std::string& s, double* v);
std::vector<std::string> words(const std::string& s);

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
bool parseline(const std::string& raw, Parsed* p);
// The line's main field, and the rest.
void splitfields(const Parsed& p, std::string* value, std::string* detail);

}  // namespace logread
