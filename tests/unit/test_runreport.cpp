// The run report's check of the scanner's pulses against the run.
#include "report/runreport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<double> every(double tr, int n, double from = 0.0) {
  std::vector<double> v;
  for (int k = 0; k < n; k++) v.push_back(from + k * tr);
  return v;
}
}  // namespace

TEST(RunReport, PulsesGiveTheTrAndFlagMissingIrregularAndMiscountedVolumes) {
  PulseCheck c = checkpulses(every(2.0, 10), 20.0);
  EXPECT_EQ(c.count, 10);
  EXPECT_DOUBLE_EQ(c.tr, 2.0);
  EXPECT_EQ(c.verdict, "ok");

  std::vector<double> gap = every(2.0, 10);
  gap.erase(gap.begin() + 4);  // the volume at 8 s never came
  c = checkpulses(gap, 20.0);
  EXPECT_EQ(c.missing, 1);
  EXPECT_EQ(c.irregular, 0);
  EXPECT_EQ(c.verdict, "1 missing");

  std::vector<double> late = every(2.0, 10);
  late[5] += 0.5;
  c = checkpulses(late, 20.0);
  EXPECT_EQ(c.irregular, 2);  // into and out of the late pulse
  EXPECT_EQ(c.missing, 0);

  c = checkpulses(every(2.0, 10), 40.0);  // half the planned run's volumes
  EXPECT_EQ(c.expected, 20);
  EXPECT_NE(c.verdict.find("10 pulses where 40.000 s at TR 2.000 s asks for 20"), std::string::npos) << c.verdict;

  EXPECT_EQ(checkpulses({}, 10.0).verdict, "no pulses");
  EXPECT_EQ(checkpulses({1.0}, 10.0).tr, 0.0);

  // Per start in the report, from the box's pulses.
  std::string log = "Vistrum logfile for stimtype=10\n\nvistrum -s 10 -waitforpulse 3 \n\nStartPulse(03):     0.000 #####\n";
  for (int k = 1; k <= 8; k++) {
    char b[80];
    std::snprintf(b, sizeof b, "TrigPulse: %9.3f   %d   vol=%d\n", 2.0 * k, k + 3, k);
    log += b;
  }
  log += "Interrupt:   17.000 #####\n";
  const RunReport r = makereport("x.log", log, "");
  ASSERT_EQ(r.starts.size(), 1u);
  EXPECT_EQ(r.starts[0].pulses.count, 8);
  EXPECT_DOUBLE_EQ(r.starts[0].pulses.tr, 2.0);
  EXPECT_EQ(r.starts[0].pulses.verdict, "ok");
}
