// Opening the event log: name, header, directory fall-backs, types that
// may not log, and the score on the final screen.
#include "harness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <regex>

namespace {

class EventLog : public XServerSuite<> {};

std::string onlylog(const std::string& dir) {
  std::string found;
  int n = 0;
  for (const std::string& name : listdir(dir))
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0) {
      found = name;
      n++;
    }
  return n == 1 ? found : "";
}

// White pixels in a band 40 pixels high around y = v units, centre half of the screen.
int whitearound(const Image& im, double v) {
  int n = 0;
  const int cy = unitpixy(v);
  for (int y = cy - 20; y <= cy + 20; y++)
    for (int xx = im.width / 4; xx < 3 * im.width / 4; xx++)
      if (y >= 0 && y < im.height && im.r(xx, y) > 240 && im.g(xx, y) > 240 && im.b(xx, y) > 240) n++;
  return n;
}

// A short fixation-only run that ends on "Done" with the star picture of
// `height` units as its final image.
std::unique_ptr<Vistrum> finalpicturerun(const XServer& x, const std::string& cwd, bool log, const char* height) {
  return std::make_unique<Vistrum>(x, std::vector<std::string>{"-s", "0", "-nofullscreen", log ? "-logfile" : "-nologfile",
                                                               "-prepostfix", "0.2", "-runperiod", "0.3",
                                                               "-reportpercent", "star.tif", height},
                                   cwd);
}

// Waits until the gold arm of a star `height` units high, right of the
// centre (clear of the labels), shows on the screen, which is left in `im`.
::testing::AssertionResult starshows(const XServer& x, double height, Image& im) {
  const int sx = unitpixx(height * 0.17), sy = unitpixy(-0.1 + height * 0.055);
  if (waituntil([&] { im = grabscreen(x); return im.ok() && im.r(sx, sy) > 150; })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no star: " << (im.ok() ? im.r(sx, sy) : -1);
}

}  // namespace

TEST_F(EventLog, NameAndHeaderOfANewLog) {
  const std::string cwd = maketempdir("log");
  mkdir((cwd + "/logs").c_str(), 0755);
  const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-exptend", "0.3"}, 30, cwd);
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string name = onlylog(cwd + "/logs");
  ASSERT_TRUE(std::regex_match(name, std::regex("[0-9]{6}-[0-9]{6}_justbg\\.log"))) << name;
  EXPECT_TRUE(hasline(r, "vistrum: opened logfile:")) << r.out;
  EXPECT_TRUE(hasline(r, "  logs/" + name)) << r.out;
  const std::string log = readfile(cwd + "/logs/" + name);
  const std::regex header(
      "###############################\n"
      "Vistrum logfile for stimtype=0\n"
      "###############################\n\n"
      "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9:]{8} .+ [0-9]{4}\n\n"
      "(pwd = .*\n\n)?"
      "\\S*vistrum -s 0 -nofullscreen -logfile -exptend 0\\.3 \n\n"
      "display: [0-9.]+ Hz measured over [0-9]+ swaps, swaps (not )?synchronised to it\n\n"
      "ExptEnd: +[0-9]+\\.[0-9]{3} #####\n");
  EXPECT_TRUE(std::regex_match(log, header)) << log;
}

TEST_F(EventLog, MissingDirectoryFallsBackToTheCurrentOne) {
  const std::string cwd = maketempdir("log");
  const RunResult r =
      runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-logfiledir", "nosuchdir", "-exptend", "0.3"}, 30, cwd);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### logfiledir nosuchdir not found")) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### saving log instead in current directory")) << r.out;
  EXPECT_FALSE(onlylog(cwd).empty()) << r.out;
}

// A first run in a fresh folder: the default logs folder is made and named,
// and the log goes into it, not beside the subject's other files.
TEST_F(EventLog, AMissingDefaultFolderIsCreated) {
  const std::string cwd = maketempdir("log");
  const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-exptend", "0.3"}, 30, cwd);
  ASSERT_EQ(r.status, 0) << r.out;
  bool said = false;
  for (const std::string& l : r.lines()) said = said || std::regex_match(l, std::regex("vistrum: created logfiledir /.*/logs"));
  EXPECT_TRUE(said) << r.out;
  EXPECT_FALSE(hasline(r, "vistrum: ### logfiledir logs not found")) << r.out;
  const std::string name = onlylog(cwd + "/logs");
  EXPECT_FALSE(name.empty()) << r.out;
  EXPECT_TRUE(hasline(r, "  logs/" + name)) << r.out;
  EXPECT_TRUE(onlylog(cwd).empty()) << "a log in the current folder";
}

TEST_F(EventLog, AFileAsDirectoryEndsTheRun) {
  const std::string cwd = maketempdir("log");
  const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-logfiledir", "/etc/hostname"}, 30, cwd);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### /etc/hostname not a dir")) << r.out;
}

TEST_F(EventLog, ALogThatCannotBeCreatedEndsTheRun) {
  // /proc is a readable directory in which no file can be made.
  const std::string cwd = maketempdir("log");
  const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-logfiledir", "/proc", "-exptend", "0.3"}, 30, cwd);
  EXPECT_EQ(r.status, 1) << r.out;
  bool said = false;
  for (const std::string& l : r.lines())
    said = said || std::regex_match(l, std::regex("vistrum: ### can't create /proc/[0-9]{6}-[0-9]{6}_justbg\\.log \\.\\.\\.quitting"));
  EXPECT_TRUE(said) << r.out;
  EXPECT_FALSE(hasline(r, "vistrum: opened logfile:")) << r.out;
}

TEST_F(EventLog, TypesThatMayNotLogRunWithoutOne) {
  const std::string cwd = maketempdir("log");
  mkdir((cwd + "/logs").c_str(), 0755);
  const RunResult r = runvistrum(*x, {"-s", "20", "-nofullscreen", "-logfile", "-exptend", "0.3"}, 30, cwd);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### no logfile for stimtype=20 ...disabled")) << r.out;
  EXPECT_TRUE(listdir(cwd + "/logs").empty());
}

TEST_F(EventLog, TwoRunsInOneSecondKeepBothLogs) {
  const std::string cwd = maketempdir("log");
  mkdir((cwd + "/logs").c_str(), 0755);
  Vistrum a(*x, {"-s", "0", "-nofullscreen", "-logfile", "-exptend", "1.5"}, cwd);
  Vistrum b(*x, {"-s", "0", "-nofullscreen", "-logfile", "-exptend", "1.5"}, cwd);
  EXPECT_EQ(a.wait().status, 0);
  EXPECT_EQ(b.wait().status, 0);
  int logs = 0;
  for (const std::string& n : listdir(cwd + "/logs")) logs += n.find(".log") != std::string::npos;
  EXPECT_EQ(logs, 2);
}

TEST_F(EventLog, DoneScreenReportsTheScoreOverTheFinalPicture) {
  const std::string cwd = maketempdir("log");
  mkdir((cwd + "/logs").c_str(), 0755);
  const std::unique_ptr<Vistrum> run = finalpicturerun(*x, cwd, true, "1.0");
  Vistrum& v = *run;
  ASSERT_TRUE(v.waitforwindow());
  auto logtext = [&] {
    const std::string n = onlylog(cwd + "/logs");
    return n.empty() ? std::string() : readfile(cwd + "/logs/" + n);
  };
  ASSERT_TRUE(waituntil([&] { return logtext().find("Feedback:") != std::string::npos; })) << logtext();
  EXPECT_NE(logtext().find("Feedback:    \"You scored 100% !\"\n"), std::string::npos) << logtext();
  // The picture, one unit high around y = -0.1: a gold star arm right of
  // the centre, the blue ground near its edge.
  const int sx = unitpixx(0.17), sy = unitpixy(-0.1 + 0.055);
  Image im;
  ASSERT_TRUE(starshows(*x, 1.0, im));
  EXPECT_GT(im.g(sx, sy), 100);
  EXPECT_LT(im.b(sx, sy), 100);
  const int edgey = unitpixy(-0.1 + 0.45), edgex = unitpixx(-0.45);
  EXPECT_GT(im.b(edgex, edgey), im.r(edgex, edgey));
  EXPECT_GT(whitearound(im, -0.25), 20) << "the score text, white, centred at y = -0.25";
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(EventLog, AFinalPictureTallerThanTheWindowIsStillDrawn) {
  // Three units high around y = -0.1: its lower corners lie outside the window.
  const std::string cwd = maketempdir("log");
  const std::unique_ptr<Vistrum> run = finalpicturerun(*x, cwd, false, "3.0");
  Vistrum& v = *run;
  ASSERT_TRUE(v.waitforwindow());
  const int sx = unitpixx(3 * 0.17), sy = unitpixy(-0.1 + 3 * 0.055);
  Image im;
  ASSERT_TRUE(starshows(*x, 3.0, im));
  EXPECT_LT(im.b(sx, sy), 100);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(EventLog, WithoutALogTheDoneScreenShowsThePictureButNoScore) {
  const std::string cwd = maketempdir("log");
  const std::unique_ptr<Vistrum> run = finalpicturerun(*x, cwd, false, "1.0");
  Vistrum& v = *run;
  ASSERT_TRUE(v.waitforwindow());
  Image im;
  ASSERT_TRUE(starshows(*x, 1.0, im)) << "no picture";
  waituntil([] { return false; }, 0.3);
  im = grabscreen(*x);
  EXPECT_EQ(whitearound(im, -0.25), 0) << "no score text";
  v.key("Escape");
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, 0);
  int said = 0;
  for (const std::string& l : r.lines()) said += l == "vistrum: ### no logfile: can't report performance";
  EXPECT_EQ(said, 1) << r.out;
  EXPECT_TRUE(listdir(cwd).empty() || onlylog(cwd).empty());
}

TEST_F(EventLog, AScreenRedrawnEveryFrameReportsTheScoreOnce) {
  // An exhausted condition order shows "Done" on every following frame.
  const std::string cwd = maketempdir("log");
  mkdir((cwd + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "77", "-nofullscreen", "-logfile", "-condlist", "1", "-blockperiod", "0.3", "-reportpercent",
                 "star.tif", "0.5"},
            cwd);
  ASSERT_TRUE(v.waitforwindow());
  auto logtext = [&] {
    const std::string n = onlylog(cwd + "/logs");
    return n.empty() ? std::string() : readfile(cwd + "/logs/" + n);
  };
  ASSERT_TRUE(waituntil([&] { return logtext().find("Feedback:") != std::string::npos; })) << logtext();
  waituntil([] { return false; }, 0.5);
  const std::string log = logtext();
  EXPECT_EQ(log.find("Feedback:"), log.rfind("Feedback:")) << log;
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(EventLog, SavedFrameRunsLogTheTimeOfTheFrameThatDrewTheEvent) {
  // Frames at t = 100 + k/10, the run stepped at 10 frames a second from
  // t = 0 as a live run would be: a line written while a frame is drawn
  // carries that frame's t (the clock counts frames, not seconds of saving),
  // and the log holds the run from its start.
  const SavedRun r = loggedrun(*x, {"-s", "70", "-sftarg", "8", "2", "-polperiod", "4", "-minfrms2nexttg", "3", "-firstframetime", "100",
                                    "-winxy", "160", "120"},
                               40, 10.0);
  ASSERT_EQ(r.result.status, 0) << r.result.out;
  const std::vector<std::string> ev = loglines(r.log, "SfChgEvent:");
  ASSERT_GE(ev.size(), 2u) << r.log;
  for (const std::string& l : ev) {
    const double t = std::stod(l.substr(l.find(':') + 1));
    EXPECT_GE(t, 0.0) << l;
    EXPECT_LT(t, 104.0) << l;
    const double k = t * 10.0;
    EXPECT_NEAR(k, std::round(k), 0.006) << l;
  }
  // The frame record: one line per frame stepped, with that frame's t: from
  // 0, the saved ones 100.0 to 103.9 in a row, the last saved the last.
  std::istringstream rec(readfile(findfile(r.dir + "/logs", "_frames.tsv")));
  std::vector<double> ts;
  for (std::string l; std::getline(rec, l);)
    if (!l.empty() && std::isdigit(static_cast<unsigned char>(l[0]))) ts.push_back(std::stod(l.substr(l.find('\t') + 1)));
  const auto first = std::find_if(ts.begin(), ts.end(), [](double t) { return t > 100.05; }) - ts.begin() - 1;
  ASSERT_GE(first, 0);
  ASSERT_GE(ts.size(), static_cast<size_t>(first) + 40);
  for (int k = 0; k < 40; k++) EXPECT_NEAR(ts[first + k], 100.0 + k / 10.0, 1e-4) << k;
  EXPECT_EQ(ts.size(), 1040u);
  EXPECT_NEAR(ts.front(), 0.0, 1e-9);
  removetree(r.dir);
}
