// The stimulus-type catalogue: validity, log names, who may log, fixation.
#include "stimuli/catalogue.h"

#include <gtest/gtest.h>


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

// May-log follows the row: a type logs exactly when its row names its log
// (the basic wedge only with its check targets), any type with fixation targets.
TEST(MayLog, FollowsTheRowsLogName) {
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  for (int k = 0; k < count; k++) {
    const int n = t[k].num;
    SCOPED_TRACE(n);
    EXPECT_EQ(stimmaylog(n, 0, 0), t[k].logname != nullptr && n != 10);
    EXPECT_EQ(stimmaylog(n, 0.5f, 0), t[k].logname != nullptr);
    EXPECT_TRUE(stimmaylog(n, 0, 0.2f));
    EXPECT_STREQ(stimlogname(n, 0.5f, 0), t[k].logname ? t[k].logname : "zz");
  }
}

// What a type needs follows from what it shows: picture streams and looming
// pictures are pictures, loaded before the run.
TEST(StimNeeds, PictureStimuliPreloadTheirPictures) {
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  for (int k = 0; k < count; k++)
    if (t[k].needs & (kPictureStreams | kLooming)) {
      EXPECT_TRUE(t[k].needs & kPictures) << t[k].num;
    }
}

// A widened mask opening is for the flow layer it shows: only composites
// with a dot field widen theirs.
TEST(StimNeeds, WidenedMasksBelongToFlowComposites) {
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  int widened = 0;
  for (int k = 0; k < count; k++) {
    if (!(t[k].needs & kWidenedMask)) continue;
    widened++;
    EXPECT_TRUE(t[k].needs & kDotField) << t[k].num;
  }
  EXPECT_GE(widened, 10);
}

// Refusals such as "only if stimtype=%d" name the first row with the bit:
// a second row with it would make the message name the wrong type, and a
// bit on a row that cannot run would point the user at a dead end.
TEST(StimNeeds, BitsThatMessagesNameBelongToOneRunnableType) {
  int count = 0;
  const StimTypeInfo* t = stimtable(&count);
  for (unsigned bit : {kSentenceBlocks, kDoubleRate, kFixationDots, kInternalMode, kCodeConversion}) {
    int rows = 0;
    for (int k = 0; k < count; k++) rows += (t[k].needs & bit) != 0;
    EXPECT_EQ(rows, 1) << "bit " << bit;
    const int n = firststimwith(bit);
    EXPECT_TRUE(validstimtype(n)) << "bit " << bit;
    if (bit != kCodeConversion) {
      EXPECT_NE(stiminfo(n)->draw, nullptr) << n;
    }
  }
  EXPECT_TRUE(stimneeds(firststimwith(kSentenceBlocks), kWordLists));
  EXPECT_FALSE(stimneeds(firststimwith(kDoubleRate), kInternalMode));
  EXPECT_EQ(firststimwith(0), -1);
}

TEST(TestPattern, AlternatesAlongRowsAndColumnsAndInverts) {
  EXPECT_EQ(zzzzsquarewhite(0, 0, 0), 1);
  EXPECT_EQ(zzzzsquarewhite(1, 0, 0), 0);
  EXPECT_EQ(zzzzsquarewhite(0, 1, 0), 0);
  EXPECT_EQ(zzzzsquarewhite(7, 3, 0), 1);
  for (int c = 0; c < 50; c++)
    for (int r = 0; r < 50; r++) EXPECT_NE(zzzzsquarewhite(c, r, 0), zzzzsquarewhite(c, r, 1));
}
