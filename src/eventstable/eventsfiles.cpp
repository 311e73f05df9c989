// The events table as files: the tab-separated table and its JSON sidecar.
#include "eventstable/logevents.h"

#include "eventstable/loglines.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

using logread::describetype;

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
