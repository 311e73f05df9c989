// Dot-field stimuli on the real binary: bit-for-bit repetition under a
// seed, masked flow openings against the checkerboard wedge and ring of the
// same options, coherent versus scrambled motion between two saved frames,
// block and target log lines, and the start-up refusal of unplaceable fields.
#include "test_dot_blobs.h"
#include "test_wedge_frames.h"

#include <algorithm>
#include <complex>
#include <regex>

using namespace chk;

namespace {

class DotFrames : public XServerSuite<> {};

bool samepixels(const Image& a, const Image& b) { return a.ok() && b.ok() && a.rgba == b.rgba; }

// Pixels that differ from the background grey g.
std::vector<char> marked(const Image& img, int g) {
  std::vector<char> m(static_cast<size_t>(img.width) * img.height);
  for (int y = 0; y < img.height; y++)
    for (int x = 0; x < img.width; x++) m[static_cast<size_t>(y) * img.width + x] = !isgrey({img.r(x, y), img.g(x, y), img.b(x, y)}, g);
  return m;
}

// The masked flow (dense dots) shows exactly where the checkerboard does:
// away from the edges (where polygon chords may differ by a pixel or two)
// nothing shows outside, and inside at most a few holes between dots.
void expectsameopening(const Image& board, const Image& flow, const std::string& what) {
  ASSERT_TRUE(board.ok() && flow.ok());
  const std::vector<char> a = marked(board, 128), b = marked(flow, 128);
  const int w = board.width, h = board.height, tol = 3;
  long outside = 0, inside = 0, holes = 0;
  for (int y = tol; y < h - tol; y++) {
    for (int x = tol; x < w - tol; x++) {
      const char c = a[static_cast<size_t>(y) * w + x];
      bool edge = false;
      for (int dy = -tol; dy <= tol && !edge; dy++)
        for (int dx = -tol; dx <= tol; dx++)
          if (a[static_cast<size_t>(y + dy) * w + x + dx] != c) {
            edge = true;
            break;
          }
      if (edge) continue;
      const char d = b[static_cast<size_t>(y) * w + x];
      if (c) {
        inside++;
        holes += !d;
      } else {
        EXPECT_FALSE(d) << what << ": flow shows outside the board at " << x << "," << y;
        if (d) return;
        outside++;
      }
    }
  }
  EXPECT_GT(inside, 5000) << what;
  EXPECT_LT(holes, inside / 1000 + 1) << what << ": the mask covers part of the opening";
}

// Centroids of the single dots (white squares) of a frame, in pixels.
std::vector<std::complex<double>> dotcentres(const Image& img) {
  std::vector<std::complex<double>> out;
  // 25 to 60 pixels: one dot, not two touching.
  for (const blobs::Pt& p : blobs::findpx(img, [&img](int x, int y) { return img.r(x, y) >= 128; }, 25, 60))
    out.emplace_back(p.x, p.y);
  return out;
}

// Misfits (pixels, sorted) of the dots of frame A, taken to their nearest
// dots in frame B, against the best single similarity z' = a z + b (fitted
// twice, the second time without the worst tenth: a dot that touched
// another one or a neighbour taken for it must not spoil the fit).
std::vector<double> similaritymisfits(const Image& A, const Image& B) {
  const auto a = dotcentres(A), b = dotcentres(B);
  std::vector<std::complex<double>> za, zb;
  for (const auto& p : a) {
    double best = 1e9;
    std::complex<double> q;
    for (const auto& c : b)
      if (std::abs(c - p) < best) best = std::abs(c - p), q = c;
    if (best < 20.0) za.push_back(p), zb.push_back(q);
  }
  std::vector<double> res(za.size(), 0.0);
  std::vector<char> use(za.size(), 1);
  for (int pass = 0; pass < 2 && za.size() >= 10; pass++) {
    std::complex<double> ma, mb, num;
    double n = 0, den = 0;
    for (size_t k = 0; k < za.size(); k++)
      if (use[k]) ma += za[k], mb += zb[k], n++;
    ma /= n;
    mb /= n;
    for (size_t k = 0; k < za.size(); k++)
      if (use[k]) num += (zb[k] - mb) * std::conj(za[k] - ma), den += std::norm(za[k] - ma);
    const std::complex<double> s = num / den, t = mb - s * ma;
    for (size_t k = 0; k < za.size(); k++) res[k] = std::abs(zb[k] - (s * za[k] + t));
    std::vector<double> sorted = res;
    std::sort(sorted.begin(), sorted.end());
    const double cut = sorted[sorted.size() * 9 / 10];
    for (size_t k = 0; k < za.size(); k++) use[k] = res[k] <= cut;
  }
  std::sort(res.begin(), res.end());
  return res;
}

const std::vector<std::string> kDense = {"-numdots", "40000", "-dotsize", "0.02", "-maxdotxy", "1.2", "-bgwingray",
                                         "0.5", "-bwcontrast", "1", "-fixtype", "-1", "-minrad", "0.05", "-maxrad",
                                         "1.1"};

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& more) {
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

}  // namespace

TEST_F(DotFrames, EveryTypeRepeatsBitForBitUnderASeed) {
  for (const char* type : {"38", "39", "40", "41", "42", "50", "115"}) {
    const std::vector<std::string> args = {"-s", type, "-srseed", "5", "-numdots", "600"};
    const std::vector<Image> a = savedframes(*x, args, 3, 7.0, 1.9);
    const std::vector<Image> b = savedframes(*x, args, 3, 7.0, 1.9);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (int k = 0; k < 3; k++) EXPECT_TRUE(samepixels(a[k], b[k])) << "type " << type << " frame " << k;
    EXPECT_FALSE(samepixels(a[0], a[2])) << "type " << type << ": the field changes";
    const Image& f = a[2];
    const int bg = f.r(0, 0);
    long shown = 0;
    for (int y = 0; y < f.height; y += 2)
      for (int xx = 0; xx < f.width; xx += 2) shown += f.r(xx, y) != bg || f.b(xx, y) != f.b(0, 0);
    EXPECT_GT(shown, 300) << "type " << type << " shows its dots";
  }
  const std::vector<Image> c = savedframes(*x, {"-s", "39", "-srseed", "6", "-numdots", "600"}, 1, 7.0, 1.9);
  const std::vector<Image> d = savedframes(*x, {"-s", "39", "-srseed", "5", "-numdots", "600"}, 1, 7.0, 1.9);
  EXPECT_FALSE(samepixels(c[0], d[0])) << "another seed, another field";
}

TEST_F(DotFrames, MaskedFlowOpensExactlyTheCheckerboardWedge) {
  const std::vector<std::string> wedge = {"-polperiod", "64", "-polwidth", "60"};
  const auto board = savedframes(*x, with(with({"-s", "10", "-coltype", "0", "-numtheta", "9"}, kDense), wedge), 2, 1.0 / 20.0, 8.0);
  const auto flow = savedframes(*x, with(with({"-s", "39"}, kDense), wedge), 2, 1.0 / 20.0, 8.0);
  ASSERT_EQ(board.size(), 2u);
  ASSERT_EQ(flow.size(), 2u);
  expectsameopening(board[0], flow[0], "wedge at 45 degrees");
  expectsameopening(board[1], flow[1], "wedge at 157.5 degrees");
}

TEST_F(DotFrames, MaskedFlowOpensExactlyTheCheckerboardRing) {
  // The second frame has a ring that wraps past maxrad back to the centre.
  const std::vector<std::string> ring = {"-eccperiod", "64", "-eccwidth", "0.3"};
  const double t0 = 16.0, t1 = 64.0 * 0.9 / 1.05;
  const auto board = savedframes(*x, with(with({"-s", "20", "-coltype", "0", "-numtheta", "65"}, kDense), ring), 2, 1.0 / (t1 - t0), t0);
  const auto flow = savedframes(*x, with(with({"-s", "39"}, kDense), ring), 2, 1.0 / (t1 - t0), t0);
  ASSERT_EQ(board.size(), 2u);
  ASSERT_EQ(flow.size(), 2u);
  expectsameopening(board[0], flow[0], "ring");
  expectsameopening(board[1], flow[1], "wrapped ring");
}

TEST_F(DotFrames, OrbitingFieldCarriesItsApertureWhileFixationStaysCentred) {
  // Dense white dots on black seen through a disk of radius 0.25 that rides
  // the orbit of radius 0.75: at t = 0 it sits on +x, at t = 16 on +y.
  const auto f = savedframes(*x, {"-s", "115", "-numdots", "30000", "-maxdotxy", "1.2", "-dotsize", "0.02",
                                  "-circwidth", "0.5", "-orbperiod", "64"}, 2, 1.0 / 16.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double cx = k == 0 ? 0.75 : 0.0, cy = k == 0 ? 0.0 : 0.75;
    int lit = 0, seen = 0;
    for (int a = 0; a < 360; a += 5) {
      const double c = std::cos(a * M_PI / 180.0), s = std::sin(a * M_PI / 180.0);
      for (double r : {0.12, 0.18}) {
        const Px p = {f[k].r(unitpixx(cx + r * c), unitpixy(cy + r * s)), 0, 0};
        lit += p.r > 128, seen++;
      }
      const int qx = unitpixx(cx + 0.35 * c), qy = unitpixy(cy + 0.35 * s);
      EXPECT_TRUE(isgrey({f[k].r(qx, qy), f[k].g(qx, qy), f[k].b(qx, qy)}, 0)) << "masked beyond the disk, frame " << k;
    }
    EXPECT_GT(lit, seen * 9 / 10) << "dots fill the disk, frame " << k;
    EXPECT_GT(f[k].r(512, 384), 128) << "fixation mark at the screen centre, frame " << k;
  }
}

TEST_F(DotFrames, BrownianWedgeDotsFlowInsideWhileTheBackgroundStaysOutside) {
  // A still wedge of 60 degrees on +x; no jitter, so only the wedge's own
  // rotating flow moves dots, and those wrap at its edges.
  const auto f = savedframes(*x, {"-s", "42", "-polperiod", "inf", "-polwidth", "60", "-dotjspeed", "0",
                                  "-dotspeed", "4", "-numdots", "3000"}, 2, 5.0, 1.0);
  ASSERT_EQ(f.size(), 2u);
  long inside = 0, outside = 0;
  for (int y = 0; y < f[0].height; y++) {
    for (int xx = 0; xx < f[0].width; xx++) {
      const double u = (xx + 0.5) * 3.12 / f[0].width - 1.56, v = 1.17 - (y + 0.5) * 2.34 / f[0].height;
      const double deg = std::fabs(std::atan2(v, u)) * 180.0 / M_PI, r = std::hypot(u, v);
      if (r < 0.15) continue;  // the fixation mark
      const bool moved = f[0].at(xx, y) != f[1].at(xx, y);
      // Near the centre a dot at the wedge's edge reaches a few degrees past it.
      if (deg > 33.0 && r > 0.3) outside += moved;
      if (deg < 27.0) inside += moved;
    }
  }
  EXPECT_EQ(outside, 0) << "background dots neither move nor enter the wedge";
  EXPECT_GT(inside, 500) << "wedge dots flow";
}

TEST_F(DotFrames, CoherentFlowMovesAllDotsAlikeScrambledDoesNot) {
  // Blocks of 2 s (coherent first), a flow per second, rotation, dilation
  // and drift on; frames 1/30 s apart in each block.
  const std::vector<std::string> args = {"-s", "39", "-numdots", "80", "-maxdotxy", "1.0", "-minrad", "0.2",
                                         "-twoperiod", "4", "-flowperiod", "1", "-dotspeed", "4", "-fixtype", "-1"};
  const auto coh = savedframes(*x, args, 2, 30.0, 1.4);
  const auto scr = savedframes(*x, args, 2, 30.0, 2.4);
  ASSERT_EQ(coh.size(), 2u);
  ASSERT_EQ(scr.size(), 2u);
  const std::vector<double> c = similaritymisfits(coh[0], coh[1]), d = similaritymisfits(scr[0], scr[1]);
  ASSERT_GT(c.size(), 40u);
  ASSERT_GT(d.size(), 40u);
  EXPECT_LT(c[c.size() * 9 / 10], 1.0) << "one rotation, dilation and drift for nine dots in ten or more";
  EXPECT_GT(d[d.size() / 2], 2.0) << "each dot its own flow";
  EXPECT_FALSE(samepixels(coh[0], coh[1]));
}

TEST_F(DotFrames, BlockChangesAndTargetFlowsAreLogged) {
  const std::string log = loggedrun(*x, {"-s", "39", "-numdots", "200", "-twoperiod", "2", "-flowperiod", "0.5",
                                         "-flowspertarg", "1"}, 2.6);
  const std::vector<std::string> st = loglines(log, "StimEvent:");
  ASSERT_GE(st.size(), 3u) << log;
  const std::regex line(R"(StimEvent: +([0-9.]+) +(coherent \(0\)|scrambled \(1\)))");
  for (size_t k = 0; k < 3; k++) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(st[k], m, line)) << st[k];
    const double t = std::stod(m[1]);
    EXPECT_GE(t, 1.0 * k - 0.001) << st[k];
    EXPECT_LT(t, 1.0 * k + 0.4) << st[k];
    EXPECT_EQ(m[2], k % 2 ? "scrambled (1)" : "coherent (0)");
  }
  // Every flow is a target with -flowspertarg 1: one a half second.
  const std::vector<std::string> red = loglines(log, "RedEvent:");
  EXPECT_GE(red.size(), 5u) << log;
  EXPECT_LE(red.size(), 7u) << log;
}

TEST_F(DotFrames, UnplaceableOrOversizedFieldsAreRefusedAtStartUp) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"-s", "39", "-minrad", "5", "-maxrad", "6"},
        std::vector<std::string>{"-s", "42", "-minrad", "0.5", "-maxrad", "0.5001"},
        std::vector<std::string>{"-s", "50", "-numdots", "-3"},
        std::vector<std::string>{"-s", "38", "-numdots", "2000000000"}}) {
    const RunResult r = runvistrum(*x, with(args, {"-nofullscreen"}), 20);
    EXPECT_EQ(r.status, 1) << r.out;
    bool said = false;
    for (const std::string& l : r.lines()) said = said || l.rfind("vistrum: ### ", 0) == 0;
    EXPECT_TRUE(said) << r.out;
  }
  // Types that fill the square +-maxrad whole have no annulus to refuse.
  const RunResult own = runvistrum(*x, {"-s", "44", "-minrad", "5", "-maxrad", "6", "-nofullscreen", "-exptend", "0.3"}, 20);
  EXPECT_EQ(own.status, 0) << own.out;
}
