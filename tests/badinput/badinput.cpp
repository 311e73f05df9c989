// Bad-input runner. Builds command lines from the option table itself: every
// keyword, each of its value slots given a boundary value (missing, empty, 0,
// -1, huge, 1e30, nan, inf, a long text, a missing path, a decimal comma, a
// unit after the number), on a sample of built stimulus types. Each case runs the real binary headless for a few saved
// frames and is classified:
//   ran      exit 0 with frames written (or a run that ends by itself early)
//   refused  exit 1 with a "vistrum: ###" line and no stray files
//   waits    still waiting for its start after the time limit, and Esc ends it
// and anything else fails: a signal, a sanitizer report, a hang, exit 1
// without a message, stray files, or a value a reader must refuse taken
// silently.
//
//   badinput [--full] [--sample N] [--types 10,20] [--jobs N] [--verbose]
//
// The sample is deterministic (evenly spaced over all cases), so CI runs
// the same cases every time.
#include "config/options.h"
#include "harness.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef None  // X11's macro would swallow ValKind::None
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

enum class SlotKind { Switch, Int, Real, Rate, Time, Text, Custom };

struct Case {
  int type = 0;
  std::vector<std::string> args;  // the option under test with its values
  SlotKind kind = SlotKind::Custom;
  std::string value;              // the boundary value ("<missing>" when absent)
};

const char* const kMissing = "<missing>";

std::vector<std::string> boundaryvalues() {
  return {kMissing,
          "",
          "0",
          "-1",
          "99999999999999999999",
          "1e30",
          "nan",
          "inf",
          std::string(250, 'x'),
          "/nonexistent-vistrum/none",
          "1,5",  // a decimal comma
          "4m"};  // a unit after the number
}

SlotKind kindof(const ValSlot& v) {
  switch (v.kind) {
    case ValKind::Int: return SlotKind::Int;
    case ValKind::Float:
    case ValKind::Double: return SlotKind::Real;
    case ValKind::Rate: return SlotKind::Rate;
    case ValKind::Time: return SlotKind::Time;
    case ValKind::Text: return SlotKind::Text;
    default: return SlotKind::Custom;
  }
}

// The built-in default of a slot as the listing prints it, for the slot that
// is not under test.
std::string defaultvalue(const ValSlot& v) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  printslot(f, v);
  std::fclose(f);
  std::string s(buf, len);
  std::free(buf);
  while (!s.empty() && (s[0] == ' ')) s.erase(0, 1);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

std::vector<Case> makecases(const std::vector<int>& types) {
  std::vector<Case> cases;
  const std::vector<std::string> values = boundaryvalues();
  for (int type : types) {
    for (const OptionDef& o : optiontable()) {
      if (!o.key) continue;
      // The type is fixed by the first option; its repeat is tested elsewhere.
      if (!std::strcmp(o.key, "-s") || !std::strcmp(o.key, "-stimtype")) continue;
      if (o.parse) {
        for (const std::string& v : values) {
          Case c{type, {o.key}, SlotKind::Custom, v};
          if (v != kMissing) c.args.push_back(v);
          cases.push_back(c);
        }
        continue;
      }
      if (o.a.kind == ValKind::None) {
        cases.push_back({type, {o.key}, SlotKind::Switch, ""});
        if (o.nokey) cases.push_back({type, {o.nokey}, SlotKind::Switch, ""});
        continue;
      }
      const ValSlot* slots[2] = {&o.a, &o.b};
      const int nslots = o.b.kind == ValKind::None ? 1 : 2;
      for (int s = 0; s < nslots; s++) {
        for (const std::string& v : values) {
          Case c{type, {o.key}, kindof(*slots[s]), v};
          for (int k = 0; k < nslots; k++) {
            if (k == s) {
              if (v == kMissing) break;
              c.args.push_back(v);
            } else {
              c.args.push_back(defaultvalue(*slots[k]));
            }
          }
          cases.push_back(c);
        }
      }
    }
  }
  return cases;
}

// Whether a reader must refuse this value outright (exit 0 would mean it was
// silently taken as some other number).
bool mustrefuse(const Case& c) {
  const std::string& v = c.value;
  // Read by its leading digits, a text that is not wholly a number ran as 1 or 4.
  const bool notanumber = v.empty() || v == "1,5" || v == "4m";
  switch (c.kind) {
    case SlotKind::Int: return v == "99999999999999999999" || v == kMissing || notanumber;
    case SlotKind::Real: return v == "nan" || v == "inf" || v == kMissing || notanumber;
    case SlotKind::Rate:
    case SlotKind::Time: return v == "nan" || v == kMissing || notanumber;
    case SlotKind::Text: return v == kMissing;
    default: return false;
  }
}

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool windowmapped(Display* d, Window w) {
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    const bool match = std::strcmp(name, "vistrum") == 0;
    XFree(name);
    XWindowAttributes wa;
    if (match && XGetWindowAttributes(d, w, &wa) && wa.map_state == IsViewable) return true;
  }
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return false;
  bool found = false;
  for (unsigned k = 0; k < n && !found; k++) found = windowmapped(d, kids[k]);
  if (kids) XFree(kids);
  return found;
}

void presskey(Display* d, KeySym sym) {
  const KeyCode code = XKeysymToKeycode(d, sym);
  XTestFakeKeyEvent(d, code, True, 0);
  XTestFakeKeyEvent(d, code, False, 0);
  XFlush(d);
}

struct Outcome {
  std::string cls;     // ran, refused, waits, or a failure class
  std::string detail;  // what the failure looked like
};

bool contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

// Files left in the run's directory tree, with their sizes.
void walk(const std::string& dir, std::vector<std::pair<std::string, long>>* files) {
  for (const std::string& n : listdir(dir)) {
    const std::string p = dir + "/" + n;
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode))
      walk(p, files);
    else
      files->push_back({p, static_cast<long>(st.st_size)});
  }
}

Outcome runcase(const Case& c, const XServer& x, const std::string& binary, const std::string& srcdir,
                double limit) {
  const std::string cwd = maketempdir("bad");
  const std::string frames = cwd + "/frames";
  mkdir(frames.c_str(), 0755);
  const std::string outpath = cwd + ".out";
  std::vector<std::string> args = {binary, "-s", std::to_string(c.type), "-winxy", "160", "120", "-saveframes",
                                   "3", "30", "-tiffoutdir", frames};
  args.insert(args.end(), c.args.begin(), c.args.end());

  // Everything the child needs is made before the fork: with two worker
  // threads, the child of one may only make async-signal-safe calls.
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envs;
  for (char** e = environ; *e; e++) {
    const std::string v = *e;
    if (v.rfind("DISPLAY=", 0) && v.rfind("LIBGL_ALWAYS_SOFTWARE=", 0) && v.rfind("VISTRUM_DIR=", 0)) envs.push_back(v);
  }
  envs.push_back("DISPLAY=" + x.display());
  envs.push_back("LIBGL_ALWAYS_SOFTWARE=1");
  envs.push_back("VISTRUM_DIR=" + srcdir);
  std::vector<char*> envp;
  for (const std::string& e : envs) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    const int out = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    const int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    execve(binary.c_str(), argv.data(), envp.data());
    _exit(127);
  }

  Display* d = XOpenDisplay(x.display().c_str());
  const double start = now();
  double lastf1 = -1.0;
  int st = 0;
  bool done = false, waited = false, escaped = false;
  while (!done) {
    const pid_t r = waitpid(pid, &st, WNOHANG);
    if (r == pid) {
      done = true;
      break;
    }
    const double t = now() - start;
    if (t > limit && !escaped) {
      // Still there: a run waiting for its trigger must end on Esc at once.
      if (d) presskey(d, XK_Escape);
      escaped = true;
      waited = true;
    } else if (t > limit + 3.0) {
      kill(pid, SIGKILL);
      waitpid(pid, &st, 0);
      done = true;
      break;
    } else if (!escaped && d && t - lastf1 > 2.0 && windowmapped(d, DefaultRootWindow(d))) {
      presskey(d, XK_F1);  // start the frame saving; again later if it was missed
      lastf1 = t;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (d) XCloseDisplay(d);

  const std::string out = readfile(outpath);
  unlink(outpath.c_str());
  std::vector<std::pair<std::string, long>> files;
  walk(cwd, &files);
  int tiffs = 0;
  std::string empty;
  for (const auto& f : files) {
    if (f.first.size() > 4 && f.first.compare(f.first.size() - 4, 4, ".tif") == 0) tiffs++;
    if (f.second == 0) empty = f.first;
  }
  removetree(cwd);

  Outcome o;
  const std::string head = out.substr(0, 400);
  if (WIFSIGNALED(st)) {
    o = {waited && escaped && WTERMSIG(st) == SIGKILL ? "hang" : "signal", "signal " + std::to_string(WTERMSIG(st))};
  } else if (contains(out, "AddressSanitizer") || contains(out, "runtime error:") ||
             contains(out, "LeakSanitizer") || contains(out, "terminate called")) {
    size_t at = out.find("ERROR:");
    if (at == std::string::npos) at = out.find("runtime error:");
    if (at == std::string::npos) at = out.find("terminate called");
    o = {"sanitizer", out.substr(at == std::string::npos ? 0 : at, 300)};
  } else if (!empty.empty()) {
    o = {"strayfile", "empty file " + empty};
  } else {
    const int status = WEXITSTATUS(st);
    if (status == 1) {
      if (contains(out, "vistrum: ###")) {
        o.cls = tiffs ? "strayfile" : "refused";
        if (tiffs) o.detail = "frames written by a refused run";
      } else {
        o = {"nomessage", head};
      }
    } else if (status == 0) {
      if (mustrefuse(c)) {
        o = {"ignored", "value taken silently"};
      } else if (waited) {
        o.cls = "waits";
      } else {
        o.cls = "ran";
      }
    } else {
      o = {"status" + std::to_string(status), head};
    }
  }
  return o;
}

std::string quote(const std::vector<std::string>& args) {
  std::string s;
  for (const std::string& a : args) {
    std::string q = a.size() > 40 ? a.substr(0, 12) + "...(" + std::to_string(a.size()) + ")" : a;
    s += " '" + q + "'";
  }
  return s;
}

bool failing(const std::string& cls) { return cls != "ran" && cls != "refused" && cls != "waits"; }

}  // namespace

int main(int argc, char** argv) {
  XInitThreads();  // each worker thread talks to its own X server
  bool full = false, verbose = false;
  size_t sample = 300;
  int jobs = 1;
  size_t shard = 1, shards = 1;  // --shard K/N: every Nth case from the Kth, so CTest can run parts side by side
  std::vector<int> types;
  std::string binary = programundertest(), srcdir = VISTRUM_SOURCE_DIR;
  double limit = 20.0;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "--full") full = true;
    else if (a == "--verbose") verbose = true;
    else if (a == "--sample" && i + 1 < argc) sample = std::stoul(argv[++i]);
    else if (a == "--jobs" && i + 1 < argc) jobs = std::max(1, std::stoi(argv[++i]));
    else if (a == "--binary" && i + 1 < argc) binary = argv[++i];
    else if (a == "--shard" && i + 1 < argc && std::sscanf(argv[++i], "%zu/%zu", &shard, &shards) == 2 &&
             shard >= 1 && shard <= shards) continue;
    else if (a == "--limit" && i + 1 < argc) limit = std::stod(argv[++i]);
    else if (a == "--types" && i + 1 < argc) {
      std::stringstream ss(argv[++i]);
      for (std::string t; std::getline(ss, t, ',');) types.push_back(std::stoi(t));
    } else {
      std::fprintf(stderr, "usage: badinput [--full] [--sample N] [--types 10,20] [--jobs N] [--shard K/N] [--binary PATH] [--limit S] [--verbose]\n");
      return 2;
    }
  }
  if (types.empty()) {
    std::ifstream in(srcdir + "/tests/badinput/sample-types.txt");
    for (std::string l; std::getline(in, l);)
      if (!l.empty() && l[0] != '#') types.push_back(std::stoi(l));
  }
  const std::vector<Case> all = makecases(types);
  std::vector<Case> cases;
  if (full || sample >= all.size()) {
    cases = all;
  } else {
    // Evenly spaced, so every part of the table and every type is sampled.
    for (size_t k = 0; k < sample; k++) cases.push_back(all[k * all.size() / sample]);
  }
  if (shards > 1) {
    std::vector<Case> part;
    for (size_t k = shard - 1; k < cases.size(); k += shards) part.push_back(cases[k]);
    cases.swap(part);
  }
  std::printf("badinput: %zu cases of %zu (%zu types), %d at a time\n", cases.size(), all.size(), types.size(), jobs);
  std::fflush(stdout);

  std::vector<std::unique_ptr<XServer>> servers;
  for (int j = 0; j < jobs; j++) {
    servers.push_back(std::make_unique<XServer>(1024, 768));
    if (!servers.back()->ok()) {
      std::printf("badinput: Xvfb did not start\n");
      return 1;
    }
  }
  std::vector<Outcome> results(cases.size());
  std::vector<std::thread> workers;
  std::atomic<size_t> next{0};
  for (int j = 0; j < jobs; j++) {
    workers.emplace_back([&, j] {
      for (size_t k; (k = next++) < cases.size();) results[k] = runcase(cases[k], *servers[j], binary, srcdir, limit);
    });
  }
  for (std::thread& w : workers) w.join();

  std::map<std::string, int> counts;
  int failed = 0;
  for (size_t k = 0; k < cases.size(); k++) {
    counts[results[k].cls]++;
    const bool bad = failing(results[k].cls);
    if (bad) failed++;
    if (bad || verbose)
      std::printf("%s: -s %d%s%s%s\n", results[k].cls.c_str(), cases[k].type, quote(cases[k].args).c_str(),
                  results[k].detail.empty() ? "" : "  -- ", results[k].detail.c_str());
  }
  std::printf("badinput: classes:");
  for (const auto& c : counts) std::printf(" %s %d", c.first.c_str(), c.second);
  std::printf("\n");
  std::printf("%zu passed, %d failed\n", cases.size() - failed, failed);
  return failed ? 1 : 0;
}
