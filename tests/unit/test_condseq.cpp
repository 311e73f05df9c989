// Random-block condition sequences and the shuffles.
#include "keepglobals.h"
#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

void design(const std::vector<std::string>& names, float blockperiod, const std::vector<int>& order = {}) {
  par.condnames = names;
  par.condcnt = static_cast<int>(names.size());
  par.condlist = order;
  par.condlistcnt = static_cast<int>(order.size());
  par.blockfreq = blockperiod > 0 ? 1.0f / blockperiod : 0.0f;
  par.logfileflag = 0;
  run.fplogfile = nullptr;
  restartcondseq();
}

// The condition of each block, sampled four times per block.
std::vector<int> blocks(int nblocks, float blockperiod, int n) {
  std::vector<int> out;
  int last = -2;
  for (int k = 0; k < nblocks * 4; k++) {
    const int c = getlogcondition((k + 0.5) * blockperiod / 4.0, n);
    if (k % 4 == 0) {
      out.push_back(c);
      last = c;
    } else {
      EXPECT_EQ(c, last) << "condition changed inside block " << k / 4;
    }
  }
  return out;
}

const std::vector<std::string> three = {"off", "dilatefront", "dilateback"};

}  // namespace

TEST(Shuffle, PermutesAndFollowsTheSeed) {
  std::vector<int> a(10);
  for (int i = 0; i < 10; i++) a[i] = i;
  srandom(7);
  shuffle(a.data(), 10);
  std::vector<int> sorted = a;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 10; i++) EXPECT_EQ(sorted[i], i);
  std::vector<int> b(10);
  for (int i = 0; i < 10; i++) b[i] = i;
  srandom(7);
  shuffle(b.data(), 10);
  EXPECT_EQ(a, b);
  std::vector<float> f = {0.5f, 1.5f, 2.5f};
  fshuffle(f.data(), 3);
  std::sort(f.begin(), f.end());
  EXPECT_EQ(f, (std::vector<float>{0.5f, 1.5f, 2.5f}));
  int one = 4;
  shuffle(&one, 1);
  shuffle(&one, 0);
  EXPECT_EQ(one, 4);
}

TEST(RandomBlocks, PermutationsNeverStartOffAndNeverRepeatAtSeams) {
  const KeepGlobals keep;
  for (int seed : {1, 2, 3, 4, 5, 11, 99}) {
    srandom(seed);
    design(three, 16.0f);
    const std::vector<int> b = blocks(30, 16.0f, 3);
    EXPECT_NE(b[0], 0) << seed;
    for (size_t g = 0; g + 3 <= b.size(); g += 3) {
      std::vector<int> grp(b.begin() + g, b.begin() + g + 3);
      std::sort(grp.begin(), grp.end());
      EXPECT_EQ(grp, (std::vector<int>{0, 1, 2})) << "seed " << seed << " group " << g / 3;
    }
    for (size_t k = 1; k < b.size(); k++) EXPECT_NE(b[k], b[k - 1]) << "seed " << seed << " block " << k;
  }
}

TEST(RandomBlocks, TheSeedFixesTheOrder) {
  const KeepGlobals keep;
  srandom(1);
  design(three, 10.0f);
  const std::vector<int> a = blocks(12, 10.0f, 3);
  srandom(1);
  design(three, 10.0f);
  EXPECT_EQ(blocks(12, 10.0f, 3), a);
  const std::vector<std::string> five = {"off", "a", "b", "c", "d"};
  srandom(1);
  design(five, 10.0f);
  const std::vector<int> s1 = blocks(20, 10.0f, 5);
  srandom(2);
  design(five, 10.0f);
  EXPECT_NE(blocks(20, 10.0f, 5), s1);
}

TEST(RandomBlocks, GivenOrderThenExhausted) {
  const KeepGlobals keep;
  design(three, 10.0f, {0, 1, 2, 0});
  const double ts[] = {0.0, 5.0, 9.9, 10.1, 15, 20.2, 29.9, 30.3, 39.9};
  const int want[] = {0, 0, 0, 1, 1, 2, 2, 0, 0};
  for (size_t k = 0; k < sizeof ts / sizeof ts[0]; k++) EXPECT_EQ(getlogcondition(ts[k], 3), want[k]) << ts[k];
  EXPECT_EQ(getlogcondition(40.1, 3), -1);
  EXPECT_EQ(getlogcondition(41.0, 3), -1);  // stays over until a restart
  EXPECT_EQ(getlogcondition(50.5, 3), -1);
  restartcondseq();  // a restart starts the order again
  EXPECT_EQ(getlogcondition(0.0, 3), 0);
  EXPECT_EQ(getlogcondition(9.9, 3), 0);
  EXPECT_EQ(getlogcondition(10.5, 3), 1);
}

TEST(RandomBlocks, NegativeBlockPeriodGivesBlocksOfItsLength) {
  const KeepGlobals keep;
  design(three, 10.0f, {0, 1, 2, 0});
  par.blockfreq = -0.1f;
  const double ts[] = {0.0, 0.02, 0.04, 5.0, 9.9, 10.1, 10.12, 15, 20.2, 29.9, 30.3, 39.9};
  const int want[] = {0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 0, 0};
  for (size_t k = 0; k < sizeof ts / sizeof ts[0]; k++) EXPECT_EQ(getlogcondition(ts[k], 3), want[k]) << ts[k];
  EXPECT_EQ(getlogcondition(40.1, 3), -1);
  // A random order too changes only once per block.
  srandom(5);
  design(three, 10.0f);
  par.blockfreq = -0.1f;
  const int first = getlogcondition(0.0, 3);
  for (double t = 0.01; t < 9.9; t += 0.37) EXPECT_EQ(getlogcondition(t, 3), first) << t;
}

TEST(RandomBlocks, InfiniteBlockPeriodKeepsTheFirstBlock) {
  const KeepGlobals keep;
  srandom(3);
  design(three, 0.0f);
  const int first = getlogcondition(0.0, 3);
  EXPECT_NE(first, 0);
  for (double t = 1.0; t < 1000.0; t += 37.0) EXPECT_EQ(getlogcondition(t, 3), first);
}

TEST(RandomBlocks, ChangesAreLoggedOnceEach) {
  const KeepGlobals keep;
  char tmpl[] = "/tmp/vistrum-condseq-XXXXXX";
  const int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  close(fd);
  design(three, 10.0f, {2, 1});
  run.fplogfile = std::fopen(tmpl, "w");
  par.logfileflag = 1;
  for (double t = 0.0; t < 30.0; t += 0.5) getlogcondition(t, 3);
  std::fclose(run.fplogfile);
  run.fplogfile = nullptr;
  par.logfileflag = 0;
  std::ifstream in(tmpl);
  std::vector<std::string> kinds;
  std::string line;
  while (std::getline(in, line)) kinds.push_back(line.substr(0, line.find(':')));
  EXPECT_EQ(kinds, (std::vector<std::string>{"InitRndBlk", "StimEvent", "StimEvent", "RndBlkExptDone"}));
  std::ifstream again(tmpl);
  std::stringstream all;
  all << again.rdbuf();
  EXPECT_NE(all.str().find("   dilateback (2)\n"), std::string::npos) << all.str();
  EXPECT_NE(all.str().find("InitRndBlk: "), std::string::npos);
  EXPECT_NE(all.str().find("   CondCnt=3\n"), std::string::npos);
  std::remove(tmpl);
}

TEST(BlockPhase, WrapsOncePerBlock) {
  EXPECT_FLOAT_EQ(blockphase(0.0, 0.1f), 0.0f);
  EXPECT_NEAR(blockphase(15.0, 0.1f), 0.5f, 1e-6);
  EXPECT_TRUE(isnewblock(blockphase(20.05, 0.1f), blockphase(19.95, 0.1f)));
  EXPECT_FALSE(isnewblock(blockphase(0.0, 0.1f), FIRSTBLOCKPHASE));
  EXPECT_EQ(blockphase(1e6, 0.0f), 0.0f);
}

TEST(RandomBlocks, WithoutALogTheOrderIsRecordedOnStandardOutput) {
  const KeepGlobals keep;
  srandom(5);
  design(three, 10.0f);
  testing::internal::CaptureStdout();
  const int first = getlogcondition(0.0, 3);
  getlogcondition(9.9, 3);
  const int second = getlogcondition(10.5, 3);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string bar = "############################################################\n";
  const std::regex want(bar +
                        "vistrum: ### text below is only record of randblock paradigm!\n"
                        "vistrum: ### should use -logfile \\(-logfiledir\\) instead\n" +
                        bar +
                        "InitRndBlk: +[0-9]+\\.[0-9]{3}   CondCount=3\n"
                        "StimEvent: +[0-9]+\\.[0-9]{3}   " + three[first] + " \\(" + std::to_string(first) + "\\)\n"
                        "StimEvent: +[0-9]+\\.[0-9]{3}   " + three[second] + " \\(" + std::to_string(second) + "\\)\n");
  EXPECT_TRUE(std::regex_match(out, want)) << out;
}
