// End-to-end harness: a private Xvfb, the real vistrum binary, keys sent
// through XTEST, saved frames read back with libtiff. Only processes this
// harness started are ever signalled, by their ids.
#pragma once

#include <gtest/gtest.h>

#include "test_files_util.h"
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A private X server on a display number the server picks itself
// (-displayfd), so no display a user has open is ever touched.
class XServer {
 public:
  // `extra` are further server arguments (e.g. {"-extension", "GLX"}).
  explicit XServer(int width = 1024, int height = 768, const std::vector<std::string>& extra = {});
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

struct RunResult {
  int status = -1;       // exit status, or -1 when killed
  bool timedout = false;
  std::string out;       // standard output and error
  std::vector<std::string> lines() const;
};

// One run of the binary.
class Vistrum {
 public:
  // `args` follow the program name; `cwd` defaults to a fresh temp dir.
  // `binary` defaults to the program under test.
  Vistrum(const XServer& x, const std::vector<std::string>& args, const std::string& cwd = "",
          const std::vector<std::string>& env = {}, const std::string& binary = "");
  ~Vistrum();
  // Waits until the stimulus window is mapped (false on timeout or exit).
  bool waitforwindow(double seconds = 20.0);
  // Sends one key press and release by keysym name ("F1", "Escape", "5", "T").
  void key(const char* keysym);
  // Waits for the exit; kills this run's process when the time is up.
  RunResult wait(double seconds = 30.0);
  bool running();
  pid_t pid() const { return pid_; }
  const std::string& cwd() const { return cwd_; }
  std::string output() const;

 private:
  const XServer& x_;
  pid_t pid_ = -1;
  std::string cwd_;
  std::string outpath_;
  bool reaped_ = false;
  int status_ = -1;
};

// Runs to completion with no window interaction (for runs that end by themselves).
RunResult runvistrum(const XServer& x, const std::vector<std::string>& args, double seconds = 30.0,
                     const std::string& cwd = "");

// A TIFF read back with libtiff, addressed from the top-left corner.
struct Image {
  int width = 0, height = 0;
  int samples = 0;            // samples per pixel in the file
  uint32_t stripbytes = 0;    // byte count of strip 0
  int orientation = 0;
  int compression = 0;
  std::vector<uint32_t> rgba;  // top row first, red in the low byte
  bool ok() const { return width > 0; }
  uint32_t at(int x, int y) const { return rgba[static_cast<size_t>(y) * width + x]; }
  int r(int x, int y) const { return at(x, y) & 0xff; }
  int g(int x, int y) const { return (at(x, y) >> 8) & 0xff; }
  int b(int x, int y) const { return (at(x, y) >> 16) & 0xff; }
  int a(int x, int y) const { return (at(x, y) >> 24) & 0xff; }
};
Image readimage(const std::string& path);

std::string maketempdir(const char* tag);
std::string readfile(const std::string& path);
// Removes `dir` with everything below it.
void removetree(const std::string& dir);
std::string sourcedir();

// Display units to pixels of a saved frame (top-left origin): the window is
// always 3.12 units wide and its height follows the aspect ratio.
int unitpixx(double u, int winx = 1024);
int unitpixy(double v, int winx = 1024, int winy = 768);

// A run with frame saving in a fresh working folder that has a logs/
// folder: n frames, frame k drawn at t = k / hz (plus -firstframetime when
// args give it). F1 is pressed on the wait screen until the first frame
// appears: a press that lands before the program listens for keys (a loaded
// machine) is lost, and a second one before any frame only restarts at t = 0.
// The frames read back and the event log's text ("" when the run wrote none).
struct SavedRun {
  bool windowed = false;  // the window came up (the run was not refused)
  RunResult result;
  std::vector<Image> frames;
  std::string log;
  std::string dir;  // the working folder: f00000.tiff ..., logs/
};
// A run that saves n frames at hz: stepped at hz (each saved frame one step,
// at t = k / hz) unless `args` give a -framerate to step at as a live run.
SavedRun saverun(const XServer& x, std::vector<std::string> args, int n, double hz, double seconds = 180.0,
                 const std::vector<std::string>& env = {}, const std::string& binary = "");
// The same without expectations: a refused run (no window) or one that ends
// early returns what there is, frames up to the first missing one.
SavedRun framesrun(const XServer& x, std::vector<std::string> args, int n, double hz, double seconds = 180.0,
                     const std::vector<std::string>& env = {}, const std::string& binary = "");
// The same with the event log asked for (-logfile).
inline SavedRun loggedrun(const XServer& x, std::vector<std::string> args, int n, double hz,
                          double seconds = 180.0) {
  args.push_back("-logfile");
  return saverun(x, std::move(args), n, hz, seconds);
}

// Every value `port` took in a simulated digital-I/O box's record file
// (lines "<frame t> <timer> <box> <port> <value>"), with its frame time.
std::vector<std::pair<double, int>> simportvalues(const std::string& recordfile, char port);

// Test fixture base: one private X server for the whole suite.
template <int W = 1024, int H = 768>
class XServerSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { x = new XServer(W, H); }
  static void TearDownTestSuite() {
    delete x;
    x = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(x && x->ok()) << "Xvfb did not start"; }
  static inline XServer* x = nullptr;
};

// The lines of `log` that begin with `kind` (an event word such as "KeyEvent:").
std::vector<std::string> loglines(const std::string& log, const std::string& kind);

// True when some output line equals `line` exactly.
bool hasline(const RunResult& r, const std::string& line);

// Polls `done` every 20 ms until it holds or `seconds` pass.
bool waituntil(const std::function<bool()>& done, double seconds = 10.0);
// The first file in `dir` whose name ends with `suffix` ("" when none).
std::string findfile(const std::string& dir, const std::string& suffix);
// What the X server shows now (the root window), top-left addressed.
Image grabscreen(const XServer& x);

// Sends several key presses in one burst, so that they queue up together.
void sendkeys(const XServer& x, const std::vector<std::string>& keysyms);
// Moves the pointer to display pixel (x, y) through XTEST.
void movepointer(const XServer& x, int px, int py);
// Moves the pointer through `points`, then presses `keysyms`, in one burst
// (everything queues up together, as a quickly moved mouse does).
void movesthenkeys(const XServer& x, const std::vector<std::pair<int, int>>& points,
                   const std::vector<std::string>& keysyms);

// The program the tests run: this build's, or VISTRUM_TEST_PROGRAM (the
// sanitizer build's program, run by this build's tests).
std::string programundertest();

// The test tiers: the fast one (CI) runs a few of a long list, the full one
// (VISTRUM_FULL=1, scripts/test.sh --full) all of it. The sample is drawn
// from a seed that is printed, so a failing sample can be run again exactly
// (VISTRUM_SAMPLE_SEED=<seed>); without it the seed is new every run, so the
// fast tier covers the whole list over many runs.
bool fulltier();
std::vector<int> sampletypes(const std::vector<int>& all, size_t n, const char* what);
