// The stimulus-type catalogue: validity, log names, who may log, fixation.
#include "core/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

TEST(StimTypeValidity, RejectsReservedNegativeAndTooLarge) {
  for (int n : {116, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 1000, 9998, 10000, -1, -3})
    EXPECT_FALSE(validstimtype(n)) << n;
  for (int n : {0, 1, 10, 20, 21, 27, 43, 64, 115, 117, 120, 9999}) EXPECT_TRUE(validstimtype(n)) << n;
}

TEST(StimTypeTable, EveryValidNumberUpTo120HasAnEntryInOrder) {
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  ASSERT_EQ(count, 122);  // 0..120 and the test pattern
  for (int k = 0; k < count - 1; k++) EXPECT_EQ(t[k].num, k);
  EXPECT_EQ(t[count - 1].num, 9999);
  EXPECT_EQ(stiminfo(125), nullptr);
}

TEST(StimTypeTable, UnassignedNumbersDrawNothingOfTheirOwn) {
  for (int n : {0, 21, 27, 43, 61, 64, 69, 116}) {
    ASSERT_NE(stiminfo(n), nullptr);
    EXPECT_EQ(stiminfo(n)->draw, nullptr) << n;
  }
  for (int n : {2, 10, 20, 89, 9999}) EXPECT_NE(stiminfo(n)->draw, nullptr) << n;
}

TEST(LogNames, FollowTypeAndTargetProbabilities) {
  EXPECT_STREQ(stimlogname(0, 0, 0), "justbg");
  EXPECT_STREQ(stimlogname(0, 0, 0.5f), "justbg");  // type 0 keeps its name
  EXPECT_STREQ(stimlogname(4, 0, 0), "polletdil");
  EXPECT_STREQ(stimlogname(4, 0, 0.3f), "fixationtarg");
  EXPECT_STREQ(stimlogname(10, 0, 0), "zz");
  EXPECT_STREQ(stimlogname(10, 2.0f, 0), "chktargpolar");
  EXPECT_STREQ(stimlogname(76, 0, 0), "playsnd");
  EXPECT_STREQ(stimlogname(120, 0, 0), "zz");
  EXPECT_STREQ(stimlogname(119, 0, 0), "off3air");
}

TEST(MayLog, ListedTypesAndTargetOverrides) {
  // Type 1 logs too: its number task is scored from the log.
  for (int n : {0, 1, 3, 8, 11, 15, 18, 22, 24, 26, 29, 31, 36, 39, 49, 51, 52, 54, 57, 59, 60, 62, 65, 68, 70, 71,
                74, 81, 92, 97, 98, 101, 102, 103, 108, 109, 110, 111, 112, 115, 117, 120})
    EXPECT_TRUE(stimmaylog(n, 0, 0)) << n;
  for (int n : {2, 9, 13, 14, 19, 20, 21, 23, 27, 28, 30, 37, 48, 50, 53, 58, 61, 63, 69, 72, 73, 82, 99,
                100, 113, 114})
    EXPECT_FALSE(stimmaylog(n, 0, 0)) << n;
  EXPECT_FALSE(stimmaylog(10, 0, 0));
  EXPECT_TRUE(stimmaylog(10, 1.0f, 0));
  EXPECT_TRUE(stimmaylog(20, 0, 0.1f));
}

TEST(TestPattern, AlternatesAlongRowsAndColumnsAndInverts) {
  EXPECT_EQ(zzzzsquarewhite(0, 0, 0), 1);
  EXPECT_EQ(zzzzsquarewhite(1, 0, 0), 0);
  EXPECT_EQ(zzzzsquarewhite(0, 1, 0), 0);
  EXPECT_EQ(zzzzsquarewhite(7, 3, 0), 1);
  for (int c = 0; c < 50; c++)
    for (int r = 0; r < 50; r++) EXPECT_NE(zzzzsquarewhite(c, r, 0), zzzzsquarewhite(c, r, 1));
}

TEST(LogNames, EveryTypeWithItsOwnNameAndNoOthersMayLog) {
  // The log-name column of the catalogue; every other type writes no log of its own.
  const std::map<int, std::string> named = {
      {0, "justbg"}, {1, "zz"}, {3, "polletdilim"}, {4, "polletdil"}, {5, "wanderpol"}, {6, "wandpollet"}, {7, "pol4shift"},
      {8, "polstereodiv"}, {10, "chktargpolar"}, {11, "polletjitt"}, {12, "pollet"}, {15, "polrand"},
      {16, "polwords"}, {17, "pol2dialet"}, {18, "pol2opplet"}, {22, "ecclet"}, {24, "ecc3cond"},
      {25, "eccletdil"}, {26, "eccletdilim"}, {29, "poldilimVvsH"}, {31, "orbletdilimaud"},
      {32, "realmotionpol"}, {33, "pursueplaybackimgs"}, {34, "poldilim"}, {35, "orbletdilim"},
      {36, "orbletdil"}, {39, "rotdil0"}, {49, "vec3canal"}, {51, "smoothflow"}, {52, "smoothglass"},
      {54, "barrierrandblock"}, {55, "wordshemiVSaudrandblock"}, {56, "flowscramsurfvolrandblock"},
      {57, "polworddilim"}, {59, "imdil"}, {60, "sxexpt"}, {62, "numdil"}, {65, "randwordsletts"},
      {66, "wordsletts"}, {67, "randwordsfont1vs2"}, {68, "wordsfont1vs2"}, {70, "sframp"}, {71, "sframprnd"},
      {74, "parafontoffrandblock"}, {75, "offwordfontrandblock"}, {76, "playsnd"},
      {77, "stermonbinrivoffrndblk"}, {78, "orbdilim"}, {79, "divgmonbinrivoffrndblk"}, {80, "orient"},
      {81, "orientquad"}, {92, "delsaccret"}, {97, "multieccenlet"}, {98, "multipolarlet"}, {101, "rightleftair"},
      {102, "randoffair"}, {103, "rotrandair"}, {108, "painmap"}, {109, "randpainmap"}, {110, "painonoff"},
      {111, "offvisair"}, {112, "off2air"}, {115, "orbrotdil"},
      {117, "multieccenletdil"}, {118, "multipolarletdil"}, {119, "off3air"}, {120, "zz"}};
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  for (int k = 0; k < count; k++) {
    const int n = t[k].num;
    const auto it = named.find(n);
    const bool hasname = it != named.end();
    SCOPED_TRACE(n);
    EXPECT_EQ(stimmaylog(n, 0, 0), hasname && n != 10);
    EXPECT_TRUE(stimmaylog(n, 0, 0.2f));
    EXPECT_EQ(stimmaylog(n, 0.5f, 0), hasname);
    EXPECT_EQ(std::string(stimlogname(n, 0.5f, 0)), hasname ? it->second : "zz");
    EXPECT_EQ(std::string(stimlogname(n, 0, 0.2f)), n == 0 ? "justbg" : "fixationtarg");
  }
}
