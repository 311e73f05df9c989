#include "report/runreport.h"

#include "core/frametiming.h"
#include "core/numbers.h"
#include "eventstable/logevents.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace {

std::vector<std::string> splittabs(const std::string& line) {
  std::vector<std::string> f;
  size_t a = 0;
  for (;;) {
    const size_t b = line.find('\t', a);
    f.push_back(line.substr(a, b == std::string::npos ? b : b - a));
    if (b == std::string::npos) return f;
    a = b + 1;
  }
}

bool number(const std::string& s, double* v) { return readwholereal(s.c_str(), v); }

std::string html(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '&') o += "&amp;";
    else if (c == '<') o += "&lt;";
    else if (c == '>') o += "&gt;";
    else if (c == '"') o += "&quot;";
    else o += c;
  }
  return o;
}

// Text safe inside a gnuplot string: letters, digits and a few signs.
std::string plain(const std::string& s) {
  std::string o;
  for (char c : s) o += std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_ .-+()", c) ? c : '?';
  return o;
}

std::string fmt(double v, const char* f = "%.3f") {
  char b[64];
  std::snprintf(b, sizeof b, f, v);
  return b;
}

const char* kSvgHead = "set terminal svg size 900,280 dynamic background rgb 'white' font 'sans,11'\n";

std::string histogramscript(const RunReport& r) {
  std::string s = kSvgHead;
  const double bin = std::max(0.05, r.medianms / 20.0);
  // A stepped run's intervals are drawing and saving times: no frame is late.
  const bool live = r.stepped.empty();
  s += std::string("set title '") + (live ? "Frame intervals" : "Drawing and saving time per frame (a stepped run)") +
       "'\nset xlabel 'interval (ms)'\nset ylabel 'frames'\nset logscale y\n";
  s += "set style fill solid 0.7\nbin=" + fmt(bin, "%.6g") + "\nb(x)=bin*floor(x/bin)+bin/2\n";
  if (live)
    s += "set arrow from " + fmt(1.5 * r.medianms) + ", graph 0 to " + fmt(1.5 * r.medianms) +
         ", graph 1 nohead lc rgb 'red' dt 2\n";
  s += "$d << EOD\n";
  for (const FrameLine& f : r.frames)
    if (f.interval >= 0) s += fmt(f.interval * 1000.0, "%.4f") + "\n";
  s += "EOD\nplot $d using (b($1)):(1.0) smooth freq with boxes lc rgb '#4477aa' title 'frames'";
  if (live) s += ", NaN with lines lc rgb 'red' dt 2 title '1.5 x median: dropped beyond'";
  s += "\n";
  return s;
}

std::string coursescript(const RunReport& r) {
  std::string s = kSvgHead;
  const bool live = r.stepped.empty();
  const double limit = live ? 1.5 * r.medianms : INFINITY;
  s += std::string("set title '") + (live ? "Frame intervals over the run" : "Drawing and saving time over the run") +
       "'\nset xlabel '" + (live ? "swap time (s)" : "wall clock (s)") + "'\nset ylabel 'interval (ms)'\n";
  // At most about 2000 points: the longest interval of each run of frames,
  // so that a long run stays a small page and no long frame is hidden.
  s += "$d << EOD\n";
  const size_t step = r.frames.size() / 2000 + 1;
  for (size_t k = 0; k < r.frames.size(); k += step) {
    const FrameLine* most = nullptr;
    for (size_t j = k; j < std::min(r.frames.size(), k + step); j++)
      if (r.frames[j].interval >= 0 && (!most || r.frames[j].interval > most->interval)) most = &r.frames[j];
    if (most) s += fmt(most->swap, "%.4f") + " " + fmt(most->interval * 1000.0, "%.4f") + "\n";
  }
  s += "EOD\n$x << EOD\n";
  int drops = 0;
  for (const FrameLine& f : r.frames)
    if (f.interval >= 0 && f.interval * 1000.0 > limit) {
      s += fmt(f.swap, "%.4f") + " " + fmt(f.interval * 1000.0, "%.4f") + "\n";
      drops++;
    }
  s += "EOD\nplot $d using 1:2 with lines lc rgb '#4477aa' title 'interval'";
  // Each dropped frame as a red stroke up to its interval (a path, so any
  // SVG reader shows it).
  if (drops) s += ", $x using 1:(0):(0):2 with vectors nohead lc rgb 'red' title 'dropped'";
  s += "\n";
  return s;
}

std::string timelinescript(const StartReport& st) {
  std::string s = kSvgHead;
  s += "set title 'Start " + std::to_string(st.segment) + ": blocks, targets and answers'\n";
  s += "set xlabel 't (s)'\nset yrange [0.3:3.7]\nset ytics ('blocks' 1, 'targets' 2, 'answers' 3)\n";
  s += "set xrange [0:" + fmt(std::max(1.0, st.end)) + "]\nset style fill solid 0.5\nset key below horizontal\n";
  std::map<std::string, int> colour;
  s += "$b << EOD\n";
  for (const StartReport::Block& b : st.blocks) {
    const int c = colour.emplace(b.name, static_cast<int>(colour.size()) + 1).first->second;
    s += fmt(b.onset + b.duration / 2) + " 1 " + fmt(b.duration / 2) + " 0.35 " + std::to_string(c) + "\n";
  }
  s += "EOD\n$h << EOD\n";
  for (const auto& m : st.targets)
    if (m.hit) s += fmt(m.onset) + " 1.65\n";
  s += "EOD\n$m << EOD\n";
  for (const auto& m : st.targets)
    if (!m.hit) s += fmt(m.onset) + " 1.65\n";
  s += "EOD\n$r << EOD\n";
  for (const auto& m : st.responses) s += fmt(m.onset) + " 2.65\n";
  s += "EOD\n";
  int k = 0;
  for (const auto& c : colour)
    s += "set label " + std::to_string(++k) + " '" + plain(c.first) + "' at graph " +
         fmt(0.01 + 0.12 * (c.second - 1), "%.2f") + ", graph 0.06 tc lt " + std::to_string(c.second) + "\n";
  s += "plot ";
  std::vector<std::string> parts;
  if (!st.blocks.empty()) parts.push_back("$b using 1:2:3:4:5 with boxxyerror lc variable notitle");
  if (std::any_of(st.targets.begin(), st.targets.end(), [](const auto& m) { return m.hit; }))
    parts.push_back("$h using 1:2:(0):(0.7) with vectors nohead lw 3 lc rgb '#228833' title 'target, answered'");
  if (std::any_of(st.targets.begin(), st.targets.end(), [](const auto& m) { return !m.hit; }))
    parts.push_back("$m using 1:2:(0):(0.7) with vectors nohead lw 3 lc rgb '#cc3311' title 'target, missed'");
  if (!st.responses.empty())
    parts.push_back("$r using 1:2:(0):(0.7) with vectors nohead lw 2 lc rgb 'black' title 'answer (key)'");
  if (parts.empty()) parts.push_back("NaN notitle");
  for (size_t i = 0; i < parts.size(); i++) s += (i ? ", " : "") + parts[i];
  return s + "\n";
}

void row(std::ostream& out, const char* id, const char* what, const std::string& value) {
  out << "<tr><th>" << what << "</th><td id=\"" << id << "\">" << html(value) << "</td></tr>\n";
}

void figure(std::ostream& out, PlotFn plot, const std::string& script) {
  const std::string svg = plot ? plot(script) : "";
  if (svg.empty())
    out << "<p class=\"noplot\">(no plot: gnuplot is not installed)</p>\n";
  else
    out << "<figure>" << svg << "</figure>\n";
}

}  // namespace

std::vector<FrameLine> readframerecord(const std::string& text) {
  std::vector<FrameLine> v;
  size_t a = 0;
  for (;;) {
    const size_t nl = text.find('\n', a);
    if (nl == std::string::npos) break;  // a cut last line is not a frame
    const std::string line = text.substr(a, nl - a);
    a = nl + 1;
    if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
    const std::vector<std::string> f = splittabs(line);
    double n, t, swap, iv = -1;
    if (f.size() != 4 || !number(f[0], &n) || !number(f[1], &t) || !number(f[2], &swap)) continue;
    if (f[3] != "n/a" && !number(f[3], &iv)) continue;
    v.push_back({static_cast<int>(n), t, swap, iv});
  }
  return v;
}

RunReport makereport(const std::string& logname, const std::string& logtext, const std::string& frametext) {
  RunReport r;
  r.logname = logname;
  r.frames = readframerecord(frametext);
  std::vector<double> iv;
  for (const FrameLine& f : r.frames)
    if (f.interval >= 0) iv.push_back(f.interval);
  r.frameintervals = static_cast<int>(iv.size());
  const FrameStats fs = computeframestats(iv.data(), r.frameintervals, static_cast<int>(r.frames.size()));
  r.meanms = fs.meanms, r.maxms = fs.maxms, r.dropped = fs.dropped, r.medianms = fs.medianms;
  for (const char* mark : {"# stepped run: ", "# rehearsal: "}) {
    const size_t at = frametext.find(mark);
    if (at == std::string::npos) continue;
    const size_t from = at + 2, end = frametext.find('\n', from);
    r.stepped = frametext.substr(from, end == std::string::npos ? std::string::npos : end - from);
  }
  if (r.frames.size() > 1) r.wallseconds = r.frames.back().swap - r.frames.front().swap;
  if (!r.stepped.empty()) r.dropped = 0;  // no display deadline to miss
  // A killed run's log may end in the middle of a line: that part is not a line.
  const std::string lines = logtext.substr(0, logtext.rfind('\n') + 1);
  std::istringstream first(lines);
  const EventsTable whole = convertlog(first);
  r.stimtype = whole.stimtype;
  r.commandline = whole.commandline;
  for (size_t k = 1; k <= whole.segments.size(); k++) {
    if (whole.segments[k - 1].rows == 0) continue;
    EventsOptions opt;
    opt.segment = static_cast<int>(k);
    std::istringstream in(lines);
    const EventsTable t = convertlog(in, opt);
    StartReport st;
    st.segment = static_cast<int>(k);
    for (const EventRow& e : t.rows) {
      const double end = e.onset + (std::isnan(e.duration) ? 0.0 : e.duration);
      st.end = std::max(st.end, end);
      if (e.event == "StimEvent") {
        st.blocks.push_back({e.onset, std::isnan(e.duration) ? 0.0 : e.duration, e.trialtype});
      } else if (e.target) {
        StartReport::Mark m{e.onset, e.trialtype, !e.response.empty(), std::isnan(e.responsetime) ? -1 : e.responsetime};
        st.hits += m.hit;
        st.targets.push_back(m);
      } else if (e.trialtype == "response") {
        st.responses.push_back({e.onset, e.value});
      }
    }
    st.score = scorestart(t);
    // The scanner's pulses: the box's, or the five-key trigger's "5" keys.
    std::vector<double> pulses;
    double runend = 0;
    for (const EventRow& e : t.rows) {
      if (e.trialtype == "trigger") pulses.push_back(e.onset);
      runend = std::max(runend, e.onset);
    }
    if (!pulses.empty()) st.pulses = checkpulses(pulses, runend - pulses.front());
    r.targets += static_cast<int>(st.targets.size());
    r.hits += st.hits;
    r.starts.push_back(st);
  }
  return r;
}

PulseCheck checkpulses(const std::vector<double>& onsets, double runlength) {
  PulseCheck c;
  c.count = static_cast<int>(onsets.size());
  if (c.count < 2) {
    c.verdict = c.count ? "one pulse: no TR" : "no pulses";
    return c;
  }
  std::vector<double> iv;
  for (size_t k = 1; k < onsets.size(); k++) iv.push_back(onsets[k] - onsets[k - 1]);
  std::vector<double> sorted = iv;
  std::sort(sorted.begin(), sorted.end());
  c.tr = sorted[sorted.size() / 2];
  if (!(c.tr > 0)) {
    c.verdict = "pulses at one time";
    return c;
  }
  for (double v : iv) {
    const long whole = std::lround(v / c.tr);
    if (whole >= 2 && std::fabs(v - whole * c.tr) < 0.1 * c.tr)
      c.missing += static_cast<int>(whole - 1);
    else if (std::fabs(v - c.tr) > 0.1 * c.tr)
      c.irregular++;
  }
  // The first pulse starts the first volume: a start of length L holds L / TR.
  c.expected = static_cast<int>(std::floor(runlength / c.tr + 1e-6));
  char b[160];
  std::string v;
  if (c.missing) v += std::to_string(c.missing) + " missing; ";
  if (c.irregular) v += std::to_string(c.irregular) + " irregular intervals; ";
  if (std::abs(c.count + c.missing - c.expected) > 1) {
    std::snprintf(b, sizeof b, "%d pulses where %.3f s at TR %.3f s asks for %d; ", c.count, runlength, c.tr, c.expected);
    v += b;
  }
  c.verdict = v.empty() ? "ok" : v.substr(0, v.size() - 2);
  return c;
}

int reportscore(const RunReport& r) {
  return r.targets ? std::min(100, static_cast<int>(static_cast<float>(r.hits) * 100.0f / static_cast<float>(r.targets))) : 0;
}

std::string gnuplotsvg(const std::string& script) {
  // The script goes through a file: gnuplot reads it whole while this side
  // reads the picture, so neither waits on the other's pipe.
  char path[] = "/tmp/vistrum-report-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return "";
  const bool written = write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
  close(fd);
  int out[2];
  if (!written || pipe(out) != 0) {
    unlink(path);
    return "";
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0) dup2(devnull, 2);
    close(out[0]), close(out[1]);
    execlp("gnuplot", "gnuplot", path, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string svg;
  char buf[65536];
  for (ssize_t n; pid > 0 && ((n = read(out[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR));)
    if (n > 0) svg.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  unlink(path);
  const size_t start = svg.find("<svg");
  if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || start == std::string::npos) return "";
  return svg.substr(start);
}

namespace {

// "n/a" where the start has nothing the program scores (it then shows 100
// or 0 depending on whether fixation targets were switched on).
std::string scoretext(const StartScore& s) { return s.targets ? std::to_string(s.percent) : "n/a"; }

}  // namespace

void writereporthtml(std::ostream& out, const RunReport& r, PlotFn plot) {
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>vistrum run report: " << html(r.logname)
      << "</title>\n<style>body{font-family:sans-serif;margin:2em;max-width:960px}"
         "table{border-collapse:collapse;margin:1em 0}th,td{border:1px solid #ccc;padding:3px 8px;text-align:left}"
         "th{background:#f4f4f4}figure{margin:0}.noplot{color:#888}</style></head><body>\n";
  out << "<h1>Run report</h1>\n<p>Log: <code>" << html(r.logname) << "</code>";
  if (r.stimtype >= 0) out << ", stimulus type " << r.stimtype;
  out << "</p>\n";
  if (!r.commandline.empty()) out << "<p><code>" << html(r.commandline) << "</code></p>\n";
  out << "<h2>Frame timing</h2>\n<table>\n";
  row(out, "frames", "frames drawn", std::to_string(r.frames.size()));
  row(out, "intervals", "intervals", std::to_string(r.frameintervals));
  row(out, "median-ms", "median interval (ms)", fmt(r.medianms));
  row(out, "mean-ms", "mean interval (ms)", fmt(r.meanms));
  row(out, "max-ms", "longest interval (ms)", fmt(r.maxms));
  if (r.stepped.empty()) {
    row(out, "dropped", "dropped (over 1.5 x median)", std::to_string(r.dropped));
  } else {
    // Stepped frames take what drawing and saving take: no frame is late.
    row(out, "stepped", "kind of run", r.stepped);
    row(out, "wall-s", "wall-clock seconds, first to last frame", fmt(r.wallseconds));
  }
  out << "</table>\n";
  if (r.frames.empty()) {
    out << "<p>No frame record beside the log.</p>\n";
  } else {
    figure(out, plot, histogramscript(r));
    figure(out, plot, coursescript(r));
  }
  out << "<h2>Targets and answers</h2>\n<table>\n";
  row(out, "starts", "starts with events", std::to_string(r.starts.size()));
  if (!r.starts.empty()) {
    // The figure the subject saw: the program scores each start on its own.
    const StartScore& last = r.starts.back().score;
    row(out, "last-score", ("score of the last start (start " + std::to_string(r.starts.back().segment) +
                            "), as the program shows it at \"Done\" (%)").c_str(),
        scoretext(last));
  }
  row(out, "targets", "targets of every kind, all starts together", std::to_string(r.targets));
  row(out, "hits", "answered in time (hits), all starts together", std::to_string(r.hits));
  row(out, "misses", "missed, all starts together", std::to_string(r.targets - r.hits));
  row(out, "score", "score over all starts together (%)", std::to_string(reportscore(r)));
  out << "</table>\n";
  for (const StartReport& st : r.starts) {
    const std::string p = "s" + std::to_string(st.segment) + "-";
    out << "<h3>Start " << st.segment << "</h3>\n<table>\n";
    row(out, (p + "blocks").c_str(), "condition blocks", std::to_string(st.blocks.size()));
    row(out, (p + "targets").c_str(), "targets of every kind", std::to_string(st.targets.size()));
    row(out, (p + "hits").c_str(), "hits", std::to_string(st.hits));
    row(out, (p + "scored").c_str(), "fixation targets and digits (what the program scores)",
        std::to_string(st.score.targets));
    row(out, (p + "scored-hits").c_str(), "of these answered in time", std::to_string(st.score.hits));
    row(out, (p + "score").c_str(), "score as the program shows it at \"Done\" (%)", scoretext(st.score));
    row(out, (p + "answers").c_str(), "answers (keys)", std::to_string(st.responses.size()));
    if (st.pulses.count) {
      row(out, (p + "pulses").c_str(), "scanner pulses", std::to_string(st.pulses.count));
      row(out, (p + "tr").c_str(), "TR (median interval, s)", st.pulses.tr > 0 ? fmt(st.pulses.tr, "%.3f") : "n/a");
      row(out, (p + "pulse-check").c_str(), "pulses against the run", st.pulses.verdict);
    }
    out << "</table>\n";
    figure(out, plot, timelinescript(st));
  }
  out << "</body></html>\n";
}
