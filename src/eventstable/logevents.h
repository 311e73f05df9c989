// Turns an event log into the rows of an analysis events table (onset and
// duration in seconds from the start trigger, trial type, response) and
// describes its columns; the vistrum-events command is a thin main over it.
#pragma once

#include <cmath>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

struct EventRow {
  double onset = 0;              // seconds from the start of the chosen run segment
  double duration = NAN;         // NAN: unknown (written "n/a")
  std::string trialtype;
  std::string response;          // key digit or response bits; "" for none
  double responsetime = NAN;     // seconds from onset to the first answer
  std::string value;             // the line's main field (condition number, key, file, ...)
  std::string detail;            // the line's other fields
  std::string event;             // the log's event word, e.g. "ChkEvent"
  double logtime = NAN;          // the time as the log wrote it
  int line = 0;                  // line number in the log (1-based)
  bool target = false;           // a target the subject answers
};

struct UnmappedLine {
  int line;
  std::string reason;
  std::string text;
};

// One start of the stimulus timer: the lines from one start to the next.
struct RunSegment {
  int firstline = 0;
  int rows = 0;  // event rows other than start and restart lines
};

struct EventsOptions {
  int segment = 0;      // 1-based run segment to convert; 0: the last one holding events; -1: the last one
  double maxrt = -1;    // latest answer after a target; <0: -maxcorrectRT of the log's command line, or 2 s
  double framedur = -1; // seconds a frame; <0: from -saveframes on the log's command line, or 1/60
  int fivekeytrigger = -1;  // whether "k5" keys are the scanner's pulses; <0: from the log's command line
};

struct EventsTable {
  std::vector<EventRow> rows;        // in onset order
  std::vector<UnmappedLine> unmapped;
  std::vector<RunSegment> segments;
  int chosen = 0;                    // the converted segment (1-based), 0 when none
  int stimtype = -1;                 // from the log header, -1 when absent
  std::string commandline;           // from the log header
  double maxrt = 2.0;
  double framedur = 1.0 / 60.0;      // for targets logged in frames
  std::string feedback;              // the final score text, when the log has one
};

EventsTable convertlog(std::istream& in, const EventsOptions& opt = {});

// The score the program shows on its "Done" screen for the converted start:
// its fixation targets and number-task digits, each answered by the first
// key after its onset (before the next target) within the answer window;
// targets before the end of a pre-saccade test do not count. The
// percentage is truncated, 0 without targets.
struct StartScore {
  int targets = 0, hits = 0, numbers = 0;  // numbers: of the targets, digits
  int percent = 0;
};
StartScore scorestart(const EventsTable& t);
// Whether a row is one the score counts.
bool scoredtarget(const EventRow& r);

// Whether a log line (event word first) marks something the subject sees
// begin: a condition, a target, a picture, a letter, a scenario code.
bool stimulusonset(const char* line);

// The table as tab-separated values: a header line, then one line per row,
// missing values as "n/a".
void writeeventstsv(std::ostream& out, const EventsTable& t);
// The JSON sidecar describing every column and the trial types present.
void writeeventsjson(std::ostream& out, const EventsTable& t, const char* version);
