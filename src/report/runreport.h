// A run's report: frame timing from the frame record, and per start the
// condition blocks, targets, answers and score from the event log, as one
// self-contained HTML page (vistrum-report is a thin main over it).
#pragma once

#include "eventstable/logevents.h"

#include <ostream>
#include <string>
#include <vector>

struct FrameLine {
  int frame;
  double t, swap, interval;  // interval < 0: none (first frame, restart)
};

// The scanner's pulses of one start: how many, the TR (the median
// interval), pulses missing (gaps of whole TRs), irregular intervals (off
// the TR by more than a tenth, gaps aside), and how many the start's length
// asks for.
struct PulseCheck {
  int count = 0;
  double tr = 0;        // 0 with fewer than two pulses
  int missing = 0;
  int irregular = 0;
  int expected = -1;    // -1 without a TR
  std::string verdict;  // "ok", or what is wrong
};
PulseCheck checkpulses(const std::vector<double>& onsets, double runlength);

struct StartReport {
  int segment = 0;          // 1-based start in the log
  double end = 0;           // the last onset or block end, seconds
  struct Block {
    double onset, duration;
    std::string name;
  };
  std::vector<Block> blocks;  // condition blocks
  struct Mark {
    double onset;
    std::string kind;  // target: trial type; response: the key
    bool hit = false;
    double rt = -1;
  };
  std::vector<Mark> targets, responses;  // targets of every kind
  int hits = 0;
  StartScore score;  // what the program scores and shows at "Done" for this start
  PulseCheck pulses;
};

struct RunReport {
  std::string logname;
  int stimtype = -1;
  std::string commandline;
  std::vector<FrameLine> frames;  // whole lines of the frame record
  int frameintervals = 0;         // intervals counted (first frames and restarts have none)
  double medianms = 0, meanms = 0, maxms = 0;
  int dropped = 0;                // intervals above 1.5 x the median
  // A saved-frame or rehearsal run steps its frames as fast as it can: its
  // record says so, and its intervals are drawing and saving times.
  std::string stepped;            // the record's own description ("" for a live run)
  double wallseconds = 0;         // first to last frame, by the wall clock
  std::vector<StartReport> starts;
  int targets = 0, hits = 0;      // targets of every kind, over all starts
};

// Reads the frame record's text: whole lines only (a killed run's last line
// may be cut).
std::vector<FrameLine> readframerecord(const std::string& text);
// The report of a log's text and its frame record's text ("" when none).
RunReport makereport(const std::string& logname, const std::string& logtext, const std::string& frametext);
// Percentage of all starts' targets answered in time, truncated as the
// program's score is (0 without targets).
int reportscore(const RunReport& r);

// An SVG picture from a gnuplot script ("" when gnuplot cannot run).
using PlotFn = std::string (*)(const std::string& script);
std::string gnuplotsvg(const std::string& script);
// The page: numbers in a table (each with an id), and the plots.
void writereporthtml(std::ostream& out, const RunReport& r, PlotFn plot = gnuplotsvg);
