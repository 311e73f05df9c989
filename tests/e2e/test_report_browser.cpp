// vistrum-report's page as a lab opens it: rendered in headless Chromium
// with no network, for the logs of real runs (two live starts, a saved-frame
// run, a serial-box run with pulses and presses, a run cut by SIGKILL). The
// page must load with no console message, draw every plot (marks seen in
// the screenshot's pixels inside each plot's box, not in the markup), hold
// the figures the program printed, and fit a 1280-pixel-wide window.
#include "harness.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

class ReportBrowser : public XServerSuite<> {};

std::string chromium() {
  for (const char* c : {"/usr/bin/chromium", "/usr/bin/chromium-browser"})
    if (access(c, X_OK) == 0) return c;
  return "";
}

std::string logof(const std::string& dir) { return findfile(dir + "/logs", ".log"); }
std::string sibling(const std::string& log, const char* suffix) { return log.substr(0, log.size() - 4) + suffix; }

int run(const std::string& cmd) {
  const int s = std::system(cmd.c_str());
  return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
}

struct Page {
  int width = 0, height = 0;                // the document's scroll extent
  std::vector<std::vector<double>> svgs;    // x, y, w, h of each plot, page pixels
  std::map<std::string, std::string> cell;  // table cells by id
  std::vector<std::string> console;         // what the page said on the console
  int shotw = 0, shoth = 0;
  std::vector<unsigned char> rgb;           // the screenshot, top row first
};

// Renders `html` in a 1280-pixel-wide window: the DOM (with the plots'
// boxes, measured by a probe appended to a copy), then a screenshot of the
// whole page. No network: every host name resolves to nothing.
Page browse(const std::string& html, const std::string& work) {
  Page p;
  const std::string copy = work + "/page.html", shot = work + "/shot.png";
  std::ofstream(copy) << readfile(html) +
                      "<script>document.body.setAttribute('data-probe', JSON.stringify({w: "
                      "document.documentElement.scrollWidth, h: document.documentElement.scrollHeight, s: "
                      "[...document.querySelectorAll('svg')].map(e => { const r = e.getBoundingClientRect(); "
                      "return [r.x + scrollX, r.y + scrollY, r.width, r.height]; })}));</script>\n";
  const std::string flags = " --headless=new --no-sandbox --disable-gpu --hide-scrollbars --no-first-run"
                            " --host-resolver-rules='MAP * ~NOTFOUND' --enable-logging=stderr --v=0"
                            " --user-data-dir=" + work + "/profile";
  EXPECT_EQ(run(chromium() + flags + " --window-size=1280,1000 --dump-dom file://" + copy + " >" + work +
                "/dom.html 2>" + work + "/console.txt"),
            0);
  const std::string dom = readfile(work + "/dom.html");
  std::smatch m;
  std::string probe;
  if (std::regex_search(dom, m, std::regex("data-probe=\"([^\"]*)\""))) probe = std::regex_replace(std::string(m[1]), std::regex("&quot;"), "\"");
  if (std::regex_search(probe, m, std::regex("\"w\":([0-9.]+),\"h\":([0-9.]+)"))) {
    p.width = static_cast<int>(std::stod(m[1]));
    p.height = static_cast<int>(std::stod(m[2]));
  }
  static const std::regex box("\\[([-0-9.]+),([-0-9.]+),([-0-9.]+),([-0-9.]+)\\]");
  for (std::sregex_iterator i(probe.begin(), probe.end(), box), e; i != e; ++i)
    p.svgs.push_back({std::stod((*i)[1]), std::stod((*i)[2]), std::stod((*i)[3]), std::stod((*i)[4])});
  static const std::regex cell(R"re(<td id="([^"]+)">([^<]*)</td>)re");
  for (std::sregex_iterator i(dom.begin(), dom.end(), cell), e; i != e; ++i) p.cell[(*i)[1]] = (*i)[2];
  std::istringstream con(readfile(work + "/console.txt"));
  for (std::string l; std::getline(con, l);)
    if (l.find(":CONSOLE(") != std::string::npos) p.console.push_back(l);
  // The whole page in one screenshot, read back through netpbm's PPM.
  EXPECT_EQ(run(chromium() + flags + " --window-size=1280," + std::to_string(std::max(p.height, 100)) +
                " --screenshot=" + shot + " file://" + copy + " >/dev/null 2>&1"),
            0);
  EXPECT_EQ(run("pngtopnm " + shot + " >" + work + "/shot.ppm 2>/dev/null"), 0);
  const std::string ppm = readfile(work + "/shot.ppm");
  int maxval = 0, consumed = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &p.shotw, &p.shoth, &maxval, &consumed) == 3 && maxval == 255) {
    const size_t at = static_cast<size_t>(consumed) + 1, n = static_cast<size_t>(p.shotw) * p.shoth * 3;
    if (ppm.size() >= at + n) p.rgb.assign(ppm.begin() + static_cast<long>(at), ppm.begin() + static_cast<long>(at + n));
  }
  return p;
}

// Pixels inside a plot's box that are neither white nor near it: its marks.
long marks(const Page& p, const std::vector<double>& b) {
  long n = 0;
  for (int y = static_cast<int>(b[1]); y < static_cast<int>(b[1] + b[3]) && y < p.shoth; y++)
    for (int x = static_cast<int>(b[0]); x < static_cast<int>(b[0] + b[2]) && x < p.shotw; x++) {
      const unsigned char* px = &p.rgb[(static_cast<size_t>(y) * p.shotw + x) * 3];
      n += px[0] < 200 || px[1] < 200 || px[2] < 200;
    }
  return n;
}

// The page of `log`, checked as a reader sees it.
Page expectpage(const std::string& log, const std::string& what) {
  const std::string work = maketempdir("browse");
  EXPECT_EQ(run(std::string(VISTRUM_REPORT_BINARY) + " " + log + " >/dev/null"), 0) << what;
  const Page p = browse(sibling(log, "_report.html"), work);
  EXPECT_TRUE(p.console.empty()) << what << ": " << p.console.front();
  EXPECT_LE(p.width, 1280) << what << ": the page is wider than the window";
  EXPECT_FALSE(p.svgs.empty()) << what << ": no plot";
  EXPECT_FALSE(p.rgb.empty()) << what << ": no screenshot";
  for (const std::vector<double>& b : p.svgs) {
    EXPECT_GT(b[2], 100) << what;
    EXPECT_GT(b[3], 100) << what;
    EXPECT_LE(b[0] + b[2], 1280.5) << what << ": a plot reaches past the window";
    if (!p.rgb.empty()) {
      EXPECT_GT(marks(p, b), 2000) << what << ": a plot at y " << b[1] << " shows nothing";
    }
  }
  removetree(work);
  return p;
}

// The count in the program's closing line ("frames: N" or "saved N of").
std::string closingframes(const std::string& out) {
  std::smatch m;
  if (std::regex_search(out, m, std::regex("vistrum: frames: ([0-9]+),"))) return m[1];
  if (std::regex_search(out, m, std::regex("\\(([0-9]+) frames stepped"))) return m[1];
  return "?";
}

// The scores the program showed at "Done", start by start.
std::vector<std::string> feedbacks(const std::string& log) {
  std::vector<std::string> v;
  const std::string text = readfile(log);
  static const std::regex score("You scored ([0-9]+)% !");
  for (std::sregex_iterator i(text.begin(), text.end(), score), e; i != e; ++i) v.push_back((*i)[1]);
  return v;
}

// The page's per-start scores, in the order of the starts.
std::vector<std::string> startscores(const Page& p) {
  std::map<int, std::string> byStart;
  static const std::regex id("s([0-9]+)-score");
  for (const auto& kv : p.cell) {
    std::smatch m;
    if (std::regex_match(kv.first, m, id)) byStart[std::stoi(m[1])] = kv.second;
  }
  std::vector<std::string> v;
  for (const auto& kv : byStart) v.push_back(kv.second);
  return v;
}

}  // namespace

TEST_F(ReportBrowser, ReportsOfRealRunsRenderWithTheirPlotsAndFiguresInAWindow) {
  if (chromium().empty()) {
    if (fulltier()) FAIL() << "chromium is not installed (scripts/install-deps.sh --full installs it)";
    GTEST_SKIP() << "chromium is not installed (apt-get install chromium)";
  }
  // Two live starts of a number task, scored at "Done".
  {
    const std::string dir = maketempdir("brlive");
    mkdir((dir + "/logs").c_str(), 0755);
    Vistrum v(*x, {"-s", "12", "-nofullscreen", "-winxy", "320", "240", "-logfile", "-lettspernum", "2", "-waitforpulse",
                   "-1", "-prepostfix", "0.5", "-runperiod", "3", "-reportpercent", "star.tif", "0.5"},
              dir);
    ASSERT_TRUE(v.waitforwindow());
    v.key("F1");
    ASSERT_TRUE(waituntil([&] { return !loglines(readfile(logof(dir)), "NumEvent:").empty(); }, 30.0));
    v.key("1");
    ASSERT_TRUE(waituntil([&] { return !loglines(readfile(logof(dir)), "Feedback:").empty(); }, 30.0));
    v.key("F1");
    ASSERT_TRUE(waituntil([&] { return loglines(readfile(logof(dir)), "Feedback:").size() >= 2; }, 30.0));
    v.key("Escape");
    const RunResult r = v.wait();
    ASSERT_EQ(r.status, 0);
    const Page p = expectpage(logof(dir), "two live starts");
    EXPECT_EQ(p.cell.at("frames"), closingframes(r.out));
    EXPECT_EQ(p.cell.at("starts"), "2");
    const std::vector<std::string> shown = feedbacks(logof(dir));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(startscores(p), shown) << "each start's score as the subject saw it";
    EXPECT_EQ(p.cell.at("last-score"), shown.back());
    removetree(dir);
  }
  // A saved-frame run.
  {
    const SavedRun s = saverun(*x, {"-s", "10", "-logfile", "-winxy", "64", "48", "-framerate", "60", "-polperiod", "4",
                                    "-chktarg", "8", "1"},
                               240, 60.0);
    const Page p = expectpage(logof(s.dir), "saved frames");
    EXPECT_EQ(p.cell.at("frames"), closingframes(s.result.out));
    EXPECT_NE(p.cell.at("stepped").find("stepped run: 60 frames/s"), std::string::npos);
    removetree(s.dir);
  }
  // A serial box on a pseudo-terminal: three pulses start it, then presses.
  {
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    close(slave);  // the program holds the device end alone
    const std::string dir = maketempdir("brbox");
    mkdir((dir + "/logs").c_str(), 0755);
    Vistrum v(*x, {"-s", "10", "-nofullscreen", "-winxy", "160", "120", "-waitforpulse", "3", "-logfile", "-fixtarg", "16",
                   "0.5"},
              dir, {std::string("VISTRUM_DIO=serial:") + name});
    ASSERT_TRUE(v.waitforwindow());
    ASSERT_TRUE(waituntil([&] { return v.output().find("vistrum: serial box") != std::string::npos; }));
    ASSERT_EQ(write(master, "555", 3), 3);
    ASSERT_TRUE(waituntil([&] { return !loglines(readfile(logof(dir)), "StartPulse").empty(); }, 20.0));
    const auto boxlines = [&] {
      const std::string log = readfile(logof(dir));
      return loglines(log, "TrigPulse:").size() + loglines(log, "KeyEvent:").size();
    };
    for (const char* b : {"5", "1", "5", "2", "5"}) {
      const size_t want = boxlines() + 1;  // counted before the byte goes out
      ASSERT_EQ(write(master, b, 1), 1);
      ASSERT_TRUE(waituntil([&] { return boxlines() >= want; }, 20.0));
    }
    v.key("Escape");
    const RunResult r = v.wait();
    close(master);
    ASSERT_EQ(r.status, 0) << r.out;
    const Page p = expectpage(logof(dir), "serial box");
    EXPECT_EQ(p.cell.at("frames"), closingframes(r.out));
    EXPECT_EQ(p.cell.at("s1-answers"), "2");
    removetree(dir);
  }
  // A block design cut by SIGKILL.
  {
    const std::string dir = maketempdir("brkill");
    mkdir((dir + "/logs").c_str(), 0755);
    Vistrum v(*x, {"-s", "54", "-nofullscreen", "-winxy", "320", "240", "-logfile", "-blockperiod", "1"}, dir);
    ASSERT_TRUE(v.waitforwindow());
    ASSERT_TRUE(waituntil([&] { return loglines(readfile(logof(dir)), "StimEvent").size() >= 3; }, 30.0));
    kill(v.pid(), SIGKILL);
    v.wait();
    const Page p = expectpage(logof(dir), "killed");
    EXPECT_EQ(p.cell.at("starts"), "1");
    removetree(dir);
  }
}
