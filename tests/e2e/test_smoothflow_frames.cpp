// Smooth flow on the real binary: repetition under a seed, rotation and
// dilation speeds and directions measured between saved frames, dot
// lifetimes ending and dots reborn elsewhere, and the logged still targets.
#include "test_dot_blobs.h"

#include <algorithm>
#include <regex>

using namespace chk;
using blobs::Pt;

namespace {

class SmoothFlowFrames : public XServerSuite<> {};

// Few small black and white dots on mid grey that live for the whole test.
std::vector<std::string> sparse(const char* type, std::vector<std::string> more) {
  std::vector<std::string> a = {"-s", "51", "-smoothflowtype", type, "-numdots", "60", "-noscaledots", "-dotsize",
                                "0.02", "-dotlife", "1000", "-bgwingray", "0.5", "-coltype", "0", "-bwcontrast",
                                "1", "-fixtype", "-1", "-flowperiod", "64", "-srseed", "4"};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

std::vector<Pt> dots(const Image& img) { return blobs::find(img, blobs::notgrey(img, 128), 25, 60); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? NAN : v[v.size() / 2];
}

// Angle and radius changes of the dots of A (beyond radius 0.3) to their
// nearest dots in B.
void polarsteps(const Image& A, const Image& B, std::vector<double>* dth, std::vector<double>* dr) {
  const std::vector<Pt> a = dots(A), b = dots(B);
  ASSERT_GT(a.size(), 30u);
  for (const Pt& p : a) {
    const double r = std::hypot(p.x, p.y);
    if (r < 0.3) continue;
    double d;
    const Pt q = blobs::nearest(b, p, &d);
    if (d > 0.15) continue;
    dth->push_back(std::remainder(std::atan2(q.y, q.x) - std::atan2(p.y, p.x), 2.0 * M_PI));
    dr->push_back(std::hypot(q.x, q.y) - r);
  }
  ASSERT_GT(dth->size(), 15u);
}

long countnotgrey(const Image& img) {
  long n = 0;
  for (int y = 0; y < img.height; y++)
    for (int x = 0; x < img.width; x++) n += !isgrey({img.r(x, y), img.g(x, y), img.b(x, y)}, 128, 3);
  return n;
}

// Fraction of the non-grey pixels of B that are non-grey in A too.
double sharedwith(const Image& B, const Image& A) {
  long n = 0, both = 0;
  for (int y = 0; y < B.height; y++)
    for (int x = 0; x < B.width; x++) {
      if (isgrey({B.r(x, y), B.g(x, y), B.b(x, y)}, 128, 3)) continue;
      n++;
      both += !isgrey({A.r(x, y), A.g(x, y), A.b(x, y)}, 128, 3);
    }
  return n ? static_cast<double>(both) / n : 0.0;
}

}  // namespace

TEST_F(SmoothFlowFrames, BothTypesRepeatBitForBitUnderASeed) {
  for (const char* type : {"51", "52"}) {
    const std::vector<std::string> args = {"-s", type, "-srseed", "9", "-flowtarg", "2", "0.3"};
    const auto a = savedframes(*x, args, 3, 7.0, 1.9), b = savedframes(*x, args, 3, 7.0, 1.9);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (int k = 0; k < 3; k++) EXPECT_TRUE(a[k].rgba == b[k].rgba) << "type " << type << " frame " << k;
    EXPECT_FALSE(a[0].rgba == a[2].rgba) << "type " << type << ": the field changes";
    EXPECT_GT(countnotgrey(a[1]), 2000) << "type " << type << " shows its dots";
  }
}

// On an orbit both the flow and the glass pattern keep one fixation mark,
// at the screen centre, while the field travels: no second mark rides the
// orbit.
TEST_F(SmoothFlowFrames, OnAnOrbitTheMarkStaysAtTheScreenCentre) {
  for (const char* type : {"51", "52"}) {
    const auto f = savedframes(*x, {"-s", type, "-orbrad", "0.5", "-fixtype", "0", "-fixrad", "0.03", "-fixline",
                                    "3", "-coltype", "0", "-numdots", "300", "-srseed", "2"},
                               1, 1.0, 3.0);
    ASSERT_EQ(f.size(), 1u);
    const std::vector<Pt> marks = blobs::find(f[0], blobs::red(f[0]), 10, 2000);
    ASSERT_EQ(marks.size(), 1u) << "type " << type;
    EXPECT_LT(std::hypot(marks[0].x, marks[0].y), 0.01) << "type " << type;
  }
}

TEST_F(SmoothFlowFrames, RotationTurnsAtThePeakSpeedAndReversesHalfAPeriodLater) {
  // Period 64 s, peak 2 rad/s: a quarter period in the field turns
  // counter-clockwise at full speed, three quarters in clockwise.
  for (double t0 : {16.0, 48.0}) {
    const auto f = savedframes(*x, sparse("1", {"-rotspeed", "2"}), 2, 20.0, t0);
    ASSERT_EQ(f.size(), 2u);
    std::vector<double> dth, dr;
    polarsteps(f[0], f[1], &dth, &dr);
    EXPECT_NEAR(median(dth), t0 < 32 ? 0.1 : -0.1, 0.01) << "turn in 0.05 s at t=" << t0;
    EXPECT_NEAR(median(dr), 0.0, 0.005) << "no radial motion";
  }
}

TEST_F(SmoothFlowFrames, DilationMovesEveryRadiusOutwardAtTheSameSpeed) {
  // Linear radii, peak 0.5 maxrad/s with maxrad 2: 1 unit/s, 0.05 in 0.05 s.
  const auto f = savedframes(*x, sparse("2", {"-dilspeed", "0.5", "-noexptrans"}), 2, 20.0, 16.0);
  ASSERT_EQ(f.size(), 2u);
  std::vector<double> dth, dr;
  polarsteps(f[0], f[1], &dth, &dr);
  EXPECT_NEAR(median(dr), 0.05, 0.008);
  EXPECT_NEAR(median(dth), 0.0, 0.005);
  std::sort(dr.begin(), dr.end());
  EXPECT_NEAR(dr[dr.size() / 4], dr[dr.size() * 3 / 4], 0.01) << "inner and outer dots alike";
}

TEST_F(SmoothFlowFrames, DotsDieAfterTheirLifetimeAndAreRebornElsewhere) {
  // Lifetime 1 s, frames 0.5 s apart, ages spread over the first second: the
  // still field shows all dots twice, then the younger half only, then
  // only the dots reborn in between, at new places.
  const auto f = savedframes(*x, {"-s", "51", "-smoothflowtype", "0", "-numdots", "300", "-noscaledots", "-dotsize",
                                  "0.02", "-dotlife", "1", "-bgwingray", "0.5", "-coltype", "0", "-fixtype", "-1",
                                  "-srseed", "2"},
                             4, 2.0, 0.0);
  ASSERT_EQ(f.size(), 4u);
  EXPECT_TRUE(f[0].rgba == f[1].rgba) << "no dot has died yet";
  const double left = static_cast<double>(countnotgrey(f[2])) / countnotgrey(f[0]);
  EXPECT_GT(left, 0.3);
  EXPECT_LT(left, 0.7);
  EXPECT_GT(sharedwith(f[2], f[0]), 0.99) << "the survivors have not moved";
  const double reborn = static_cast<double>(countnotgrey(f[3])) / countnotgrey(f[0]);
  EXPECT_GT(reborn, 0.3);
  EXPECT_LT(reborn, 0.7);
  EXPECT_LT(sharedwith(f[3], f[2]), 0.2) << "reborn dots appear elsewhere";
}

TEST_F(SmoothFlowFrames, StillTargetsAreLogged) {
  const std::string log =
      loggedrun(*x, {"-s", "51", "-flowtarg", "1", "0.3", "-flowperiod", "2", "-minfrms2nexttg", "20"}, 2.0);
  const std::vector<std::string> ev = loglines(log, "FlowEvent:");
  ASSERT_GE(ev.size(), 1u) << log;
  const std::regex line(R"(FlowEvent: +([0-9.]+) +r=([0-9.]+) \(glwin\), th=([0-9.]+) \(deg\))");
  for (const std::string& l : ev) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(l, m, line)) << l;
    EXPECT_GE(std::stod(m[2]), 0.3 - 0.005) << l;
    EXPECT_LE(std::stod(m[2]), 1.0) << l;
    EXPECT_LT(std::stod(m[3]), 360.0) << l;
  }
  EXPECT_LT(std::stod(ev[0].substr(10)), 0.5) << "the first target comes with the first frame";
}
