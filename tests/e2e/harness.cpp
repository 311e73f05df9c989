#include "harness.h"

#include "stimuli/catalogue.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>


// The tests that read the catalogue in-process (type lists, log names)
// see its rows as the program does.
static const bool catalogueinstalled = (installstimuli(), true);

namespace {

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void sleepms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool findwindow(Display* d, Window w, const char* name) {
  char* wn = nullptr;
  if (XFetchName(d, w, &wn) && wn) {
    const bool match = std::strcmp(wn, name) == 0;
    XFree(wn);
    if (match) {
      XWindowAttributes wa;
      if (XGetWindowAttributes(d, w, &wa) && wa.map_state == IsViewable) return true;
    }
  }
  Window root, parent, *kids = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &kids, &n)) return false;
  bool found = false;
  for (unsigned int k = 0; k < n && !found; k++) found = findwindow(d, kids[k], name);
  if (kids) XFree(kids);
  return found;
}

}  // namespace

std::string sourcedir() { return VISTRUM_SOURCE_DIR; }

int unitpixx(double u, int winx) {
  const double half = 1.56;
  return static_cast<int>(std::floor((u + half) * winx / (2 * half)));
}

int unitpixy(double v, int winx, int winy) {
  const double half = 1.56 * winy / winx;
  return static_cast<int>(std::floor(winy - (v + half) * winy / (2 * half)));
}

bool hasline(const RunResult& r, const std::string& line) {
  for (const std::string& l : r.lines())
    if (l == line) return true;
  return false;
}

std::string maketempdir(const char* tag) {
  std::string tmpl = std::string("/tmp/vistrum-") + tag + "-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  const char* d = mkdtemp(buf.data());
  return d ? d : "/tmp";
}

std::string readfile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}


void removetree(const std::string& dir) {
  for (const std::string& n : listdir(dir)) {
    const std::string p = dir + "/" + n;
    struct stat st {};
    if (lstat(p.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode))
      removetree(p);
    else
      unlink(p.c_str());
  }
  rmdir(dir.c_str());
}

std::vector<std::string> RunResult::lines() const {
  std::vector<std::string> v;
  std::istringstream in(out);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

XServer::XServer(int width, int height, const std::vector<std::string>& extra) {
  int fd[2];
  if (pipe(fd) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = fork();
  if (pid_ == 0) {
    close(fd[0]);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    dup2(devnull, 2);
    const std::string fdarg = std::to_string(fd[1]);
    std::vector<const char*> argv = {"Xvfb", "-displayfd", fdarg.c_str(), "-screen", "0", screen.c_str(),
                                     "-nolisten", "tcp", "-noreset"};
    for (const std::string& e : extra) argv.push_back(e.c_str());
    argv.push_back(nullptr);
    execvp("Xvfb", const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  close(fd[1]);
  std::string num;
  char c;
  const double deadline = now() + 20.0;
  fcntl(fd[0], F_SETFL, O_NONBLOCK);
  while (now() < deadline) {
    const ssize_t n = read(fd[0], &c, 1);
    if (n == 1) {
      if (c == '\n') break;
      num += c;
    } else if (n == 0) {
      break;
    } else {
      sleepms(10);
    }
  }
  close(fd[0]);
  if (!num.empty()) display_ = ":" + num;
}

XServer::~XServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

Vistrum::Vistrum(const XServer& x, const std::vector<std::string>& args, const std::string& cwd,
                 const std::vector<std::string>& env, const std::string& binary)
    : x_(x), cwd_(cwd.empty() ? maketempdir("run") : cwd) {
  const std::string program = binary.empty() ? programundertest() : binary;
  outpath_ = maketempdir("out") + "/stdout.txt";
  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(cwd_.c_str()) != 0) _exit(126);
    const int out = open(outpath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(out, 2);
    const int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    setenv("DISPLAY", x_.display().c_str(), 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("VISTRUM_DIR", VISTRUM_SOURCE_DIR, 1);
    for (const std::string& e : env) {
      const size_t eq = e.find('=');
      if (eq == std::string::npos)
        unsetenv(e.c_str());
      else
        setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

Vistrum::~Vistrum() {
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool Vistrum::running() {
  if (reaped_) return false;
  int st = 0;
  const pid_t r = waitpid(pid_, &st, WNOHANG);
  if (r == pid_) {
    reaped_ = true;
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return false;
  }
  return true;
}

bool Vistrum::waitforwindow(double seconds) {
  Display* d = XOpenDisplay(x_.display().c_str());
  if (!d) return false;
  const double deadline = now() + seconds;
  bool found = false;
  while (now() < deadline && running()) {
    if ((found = findwindow(d, DefaultRootWindow(d), "vistrum"))) break;
    sleepms(20);
  }
  XCloseDisplay(d);
  if (found) sleepms(300);  // let the program reach its wait or its first frames
  return found;
}

void Vistrum::key(const char* keysym) { sendkeys(x_, {keysym}); }

RunResult Vistrum::wait(double seconds) {
  RunResult r;
  const double deadline = now() + seconds;
  while (running() && now() < deadline) sleepms(10);
  if (running()) {
    r.timedout = true;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    reaped_ = true;
    status_ = -1;
  }
  r.status = status_;
  r.out = readfile(outpath_);
  return r;
}

std::string Vistrum::output() const { return readfile(outpath_); }

RunResult runvistrum(const XServer& x, const std::vector<std::string>& args, double seconds, const std::string& cwd) {
  Vistrum v(x, args, cwd);
  return v.wait(seconds);
}

Image readimage(const std::string& path) {
  Image img;
  TIFFSetWarningHandler(nullptr);
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return img;
  uint32_t w = 0, h = 0;
  uint16_t spp = 0, orient = 0, comp = 0;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
  TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  TIFFGetField(tif, TIFFTAG_ORIENTATION, &orient);
  TIFFGetField(tif, TIFFTAG_COMPRESSION, &comp);
  img.stripbytes = static_cast<uint32_t>(TIFFStripSize(tif));  // uncompressed bytes of strip 0
  std::vector<uint32_t> raster(static_cast<size_t>(w) * h);
  // With ORIENTATION_TOPLEFT the raster comes back top row first.
  if (!TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
    TIFFClose(tif);
    return img;
  }
  TIFFClose(tif);
  img.width = static_cast<int>(w);
  img.height = static_cast<int>(h);
  img.samples = spp;
  img.orientation = orient;
  img.compression = comp;
  img.rgba = std::move(raster);
  return img;
}

bool waituntil(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string findfile(const std::string& dir, const std::string& suffix) {
  for (const std::string& name : listdir(dir))
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      return dir + "/" + name;
  return "";
}

Image grabscreen(const XServer& x) {
  Image img;
  Display* d = XOpenDisplay(x.display().c_str());
  if (!d) return img;
  const Window root = DefaultRootWindow(d);
  XWindowAttributes wa{};
  XGetWindowAttributes(d, root, &wa);
  XImage* xi = XGetImage(d, root, 0, 0, wa.width, wa.height, AllPlanes, ZPixmap);
  if (xi) {
    img.width = wa.width;
    img.height = wa.height;
    img.samples = 3;
    img.rgba.resize(static_cast<size_t>(wa.width) * wa.height);
    auto channel = [](unsigned long p, unsigned long mask) {
      if (!mask) return 0u;
      int shift = 0;
      while (!((mask >> shift) & 1)) shift++;
      const unsigned long v = (p & mask) >> shift, max = mask >> shift;
      return static_cast<unsigned>(v * 255 / max);
    };
    for (int y = 0; y < wa.height; y++)
      for (int xx = 0; xx < wa.width; xx++) {
        const unsigned long p = XGetPixel(xi, xx, y);
        img.rgba[static_cast<size_t>(y) * wa.width + xx] = channel(p, xi->red_mask) |
                                                           (channel(p, xi->green_mask) << 8) |
                                                           (channel(p, xi->blue_mask) << 16) | 0xff000000u;
      }
    XDestroyImage(xi);
  }
  XCloseDisplay(d);
  return img;
}

void sendkeys(const XServer& x, const std::vector<std::string>& keysyms) {
  Display* d = XOpenDisplay(x.display().c_str());
  if (!d) return;
  const KeyCode shiftkc = XKeysymToKeycode(d, XK_Shift_L);
  for (const std::string& name : keysyms) {
    const KeySym ks = XStringToKeysym(name.c_str());
    const KeyCode kc = XKeysymToKeycode(d, ks);
    const bool shift = kc && XkbKeycodeToKeysym(d, kc, 0, 0) != ks;
    if (shift) XTestFakeKeyEvent(d, shiftkc, True, 0);
    XTestFakeKeyEvent(d, kc, True, 0);
    XTestFakeKeyEvent(d, kc, False, 0);
    if (shift) XTestFakeKeyEvent(d, shiftkc, False, 0);
  }
  XSync(d, False);
  XCloseDisplay(d);
}

void movepointer(const XServer& x, int px, int py) {
  Display* d = XOpenDisplay(x.display().c_str());
  if (!d) return;
  XTestFakeMotionEvent(d, DefaultScreen(d), px, py, 0);
  XSync(d, False);
  XCloseDisplay(d);
}

void movesthenkeys(const XServer& x, const std::vector<std::pair<int, int>>& points,
                   const std::vector<std::string>& keysyms) {
  Display* d = XOpenDisplay(x.display().c_str());
  if (!d) return;
  for (const auto& p : points) XTestFakeMotionEvent(d, DefaultScreen(d), p.first, p.second, 0);
  for (const std::string& name : keysyms) {
    const KeyCode kc = XKeysymToKeycode(d, XStringToKeysym(name.c_str()));
    XTestFakeKeyEvent(d, kc, True, 0);
    XTestFakeKeyEvent(d, kc, False, 0);
  }
  XSync(d, False);
  XCloseDisplay(d);
}

std::vector<std::string> loglines(const std::string& log, const std::string& kind) {
  std::vector<std::string> out;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(kind, 0) == 0) out.push_back(line);
  return out;
}

SavedRun framesrun(const XServer& x, std::vector<std::string> args, int n, double hz, double seconds,
                     const std::vector<std::string>& env, const std::string& binary) {
  SavedRun run;
  run.dir = maketempdir("saved");
  const std::string& cwd = run.dir;
  mkdir((cwd + "/logs").c_str(), 0755);
  char nbuf[32], hzbuf[32];
  std::snprintf(nbuf, sizeof nbuf, "%d", n);
  std::snprintf(hzbuf, sizeof hzbuf, "%.9g", hz);
  args.insert(args.end(), {"-nofullscreen", "-saveframes", nbuf, hzbuf, "-tiffoutdir", cwd});
  // Steps at the saving rate, the saved frames' own times only, unless the
  // test asks for a frame rate to step at (as a live run does).
  if (std::find(args.begin(), args.end(), "-framerate") == args.end()) args.insert(args.end(), {"-framerate", hzbuf});
  Vistrum v(x, args, cwd, env, binary);
  run.windowed = v.waitforwindow();
  if (!run.windowed) {
    run.result = v.wait(5);
    return run;
  }
  for (int k = 0; k < 10 && v.running(); k++) {
    v.key("F1");
    if (waituntil([&] { return !findfile(cwd, "f00000.tiff").empty() || !v.running(); }, 5.0)) break;
  }
  run.result = v.wait(seconds);
  for (int k = 0; k < n; k++) {
    char name[64];
    std::snprintf(name, sizeof name, "/f%05d.tiff", k);
    if (access((cwd + name).c_str(), F_OK) != 0) break;
    run.frames.push_back(readimage(cwd + name));
  }
  const std::string f = findfile(cwd + "/logs", ".log");
  if (!f.empty()) run.log = readfile(f);
  return run;
}

SavedRun saverun(const XServer& x, std::vector<std::string> args, int n, double hz, double seconds,
                 const std::vector<std::string>& env, const std::string& binary) {
  SavedRun run = framesrun(x, std::move(args), n, hz, seconds, env, binary);
  if (!run.windowed) {
    ADD_FAILURE() << "no window: " << run.result.out;
    return run;
  }
  EXPECT_EQ(run.result.status, 0) << run.result.out;
  EXPECT_EQ(run.frames.size(), static_cast<size_t>(n)) << run.result.out;
  for (size_t k = 0; k < run.frames.size(); k++) EXPECT_TRUE(run.frames[k].ok()) << "frame " << k;
  // Callers index the frames they asked for.
  run.frames.resize(n);
  return run;
}

std::vector<std::pair<double, int>> simportvalues(const std::string& recordfile, char port) {
  std::vector<std::pair<double, int>> out;
  std::istringstream in(readfile(recordfile));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream w(line);
    double t = 0, clock = 0;
    int box = 0, value = 0;
    char p = 0;
    w >> t >> clock >> box >> p >> value;
    if (p == port) out.push_back({t, value});
  }
  return out;
}

std::string programundertest() {
  const char* p = std::getenv("VISTRUM_TEST_PROGRAM");
  return p && *p ? p : VISTRUM_BINARY;
}

bool fulltier() {
  const char* f = std::getenv("VISTRUM_FULL");
  return f && *f && std::string(f) != "0";
}

std::vector<int> sampletypes(const std::vector<int>& all, size_t n, const char* what) {
  if (fulltier() || n >= all.size()) {
    std::printf("%s: all %zu types (full tier)\n", what, all.size());
    return all;
  }
  unsigned long seed = 0;
  if (const char* s = std::getenv("VISTRUM_SAMPLE_SEED"); s && *s)
    seed = std::strtoul(s, nullptr, 10);
  else
    seed = static_cast<unsigned long>(std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
  std::mt19937 gen(static_cast<std::mt19937::result_type>(seed));
  std::vector<int> pick = all;
  std::shuffle(pick.begin(), pick.end(), gen);
  pick.resize(n);
  std::sort(pick.begin(), pick.end());
  std::string list;
  for (int t : pick) list += " " + std::to_string(t);
  std::printf("%s: %zu of %zu types, VISTRUM_SAMPLE_SEED=%lu:%s\n", what, n, all.size(), seed, list.c_str());
  std::fflush(stdout);
  return pick;
}
