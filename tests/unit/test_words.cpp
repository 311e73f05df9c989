// Word files, paragraph tables, letter statistics, and the word, number and
// reading schedules.
#include "keepglobals.h"
#include "config/params.h"
#include "text/reading.h"
#include "text/wordlists.h"
#include "draw/fonts.h"
#include "text/wordstims.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string tempfile(const std::string& content) {
  char name[] = "/tmp/vistrum-words-XXXXXX";
  const int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  FILE* f = fdopen(fd, "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  return name;
}

WordFile readtext(const std::string& content, std::string* path = nullptr) {
  const std::string p = tempfile(content);
  WordFile w = readwordfile(p.c_str());
  if (path) *path = p;
  return w;
}

float charwidth(const char* tok) { return 0.01f * static_cast<float>(std::string(tok).size()); }

}  // namespace

TEST(WordFiles, CommentsLineEndsAndEmptyLines) {
  const WordFile w = readtext("# header\nalpha\r\n\nbeta gamma\r\n#x\ndelta");
  ASSERT_TRUE(w.errors.empty());
  EXPECT_EQ(w.lines, (std::vector<std::string>{"alpha", "", "beta gamma", "delta"}));
  EXPECT_EQ(w.linenos, (std::vector<int>{2, 3, 4, 6}));
  EXPECT_TRUE(readtext("\xce\x93\xd0\x91 caf\xc3\xa9\n").errors.empty()) << "UTF-8 text is read";
}

TEST(WordFiles, BadFilesNameTheFileAndLine) {
  std::string p;
  WordFile w = readtext("# only\n# comments\n", &p);
  ASSERT_EQ(w.errors.size(), 1u);
  EXPECT_EQ(w.errors[0], "vistrum: ### no words in " + p + "\n");
  EXPECT_EQ(readtext("").errors[0].find("vistrum: ### no words in"), 0u);
  w = readwordfile("/nonexistent/words.txt");
  EXPECT_EQ(w.errors, (std::vector<std::string>{"vistrum: ### /nonexistent/words.txt not found\n",
                                                 "vistrum: ### use: -wordfile <filename>\n"}));
  EXPECT_EQ(readwordfile("/tmp").errors.size(), 2u) << "a directory is no word file";
  w = readtext("ok\n" + std::string(MAXWORDLINE + 1, 'x') + "\n", &p);
  ASSERT_EQ(w.errors.size(), 1u);
  EXPECT_EQ(w.errors[0], "vistrum: ### " + p + " line 2: longer than 597 characters (one word, sentence or text line per line)\n");
  EXPECT_TRUE(readtext(std::string(MAXWORDLINE, 'x')).errors.empty()) << "the longest line fits";
  w = readtext("ok\n#\xff comment is not checked\nna\xefve\n", &p);
  ASSERT_EQ(w.errors.size(), 1u);
  EXPECT_EQ(w.errors[0], "vistrum: ### " + p + " line 3: byte 0xef at character 3 is not UTF-8 text\n");
  EXPECT_TRUE(w.lines.empty());
  EXPECT_EQ(badutf8(std::string("a\0b", 3)), 1);
  EXPECT_EQ(badutf8("\xc0\xaf"), 0) << "overlong form";
  EXPECT_EQ(badutf8("\xed\xa0\x80"), 0) << "surrogate";
  EXPECT_EQ(badutf8("ok\xe2\x82"), 2) << "cut short";
}

TEST(ParagraphTables, TokensBlocksAndMessages) {
  EXPECT_EQ(splitwordline("  one <pause>\ttwo  <p> "), (std::vector<std::string>{"one", " ", "two", " "}));
  // Fixed blocks: one entry per condition; widths measured per token.
  ParaTables p = buildparatables({"ab cde", "f <pause> g"}, {1, 2}, "f.txt", 3, 2, charwidth);
  ASSERT_TRUE(p.errors.empty());
  EXPECT_EQ(p.wordsperblocks, (std::vector<int>{3, 3}));
  EXPECT_EQ(p.wordsperlines, (std::vector<int>{2, 3}));
  EXPECT_FLOAT_EQ(p.widthsperlines[0][1], 0.03f);
  EXPECT_EQ(p.totalwords, 5);
  // Marked blocks count across lines; markers are tokens but not words.
  p = buildparatables({"a b", "c <endpara> d", "e <e>"}, {1, 2, 3}, "f.txt", 0, 2, charwidth);
  ASSERT_TRUE(p.errors.empty());
  EXPECT_EQ(p.wordsperblocks, (std::vector<int>{3, 2}));
  EXPECT_EQ(p.maxwordsperblock, 3);
  EXPECT_EQ(p.wordsperlines[1], 3);
  p = buildparatables({"a <e>", "b <e>", "c <e>"}, {1, 2, 3}, "f.txt", 0, 2, charwidth);
  EXPECT_EQ(p.errors, (std::vector<std::string>{"vistrum: ### less conds (2) than wordfile blocks (3)\n"}));
  p = buildparatables({"a <endpara>"}, {1}, "f.txt", 64, 2, charwidth);
  ASSERT_EQ(p.errors.size(), 4u);
  EXPECT_EQ(p.errors[0], "vistrum: ### parsewords: <endpara> but wordsperblock!=0\n");
  p = buildparatables({"a b"}, {1}, "f.txt", 0, 2, charwidth);
  EXPECT_EQ(p.errors, (std::vector<std::string>{"vistrum: ### wordsperblock=0 but no <endpara>'s in wordfile\n"}));
  p = buildparatables({"fine", "caf\xc3\xa9"}, {4, 7}, "f.txt", 64, 2, charwidth);
  ASSERT_EQ(p.errors.size(), 2u);
  EXPECT_EQ(p.errors[0], "vistrum: ### parsewords: non-ASCII char in non-comment line 7:\n");
}

TEST(LetterStatistics, CountsFoldCaseAndDrawsFollowTheList) {
  const LetterStats s = letterstats({"ABC abc", "zz", "not counted"}, 2);
  EXPECT_EQ(s.counts[0], 2);
  EXPECT_EQ(s.counts[1], 2);
  EXPECT_EQ(s.counts[2], 2);
  EXPECT_EQ(s.counts[25], 2);
  EXPECT_EQ(s.letters, 8);
  EXPECT_EQ(s.freqchars, (std::vector<int>{0, 0, 1, 1, 2, 2, 25, 25}));
  EXPECT_FLOAT_EQ(s.avglen, 4.5f);
  // Pseudo-words: letters at even places in the list's proportions, blanks
  // between, about avglen..avglen+4 long; a fixed seed repeats them.
  const LetterStats e = letterstats({"eeeeeeeeex"}, 1);  // 90% e, 10% x
  srandom(7);
  char w[64];
  int es = 0, xs = 0;
  std::string first;
  for (int i = 0; i < 2000; i++) {
    makepseudoword(w, sizeof w, 6.0f, e.freqchars.data(), e.letters);
    const std::string s2(w);
    if (i == 0) first = s2;
    ASSERT_GE(s2.size(), 6u);
    ASSERT_LE(s2.size(), 10u);
    for (size_t k = 0; k < s2.size(); k++) {
      if (k % 2) {
        ASSERT_EQ(s2[k], ' ');
      }
      es += s2[k] == 'e';
      xs += s2[k] == 'x';
    }
  }
  EXPECT_NEAR(static_cast<double>(xs) / (es + xs), 0.1, 0.02);
  srandom(7);
  makepseudoword(w, sizeof w, 6.0f, e.freqchars.data(), e.letters);
  EXPECT_EQ(first, std::string(w));
}

TEST(WordSchedules, PacingBlocksNumbersAndTargets) {
  KeepGlobals keep;
  // A new word every 0.35 s, visible for 0.25 s.
  EXPECT_TRUE(wordpace(0.24, 0.25, 0.1).visible);
  EXPECT_FALSE(wordpace(0.26, 0.25, 0.1).visible);
  EXPECT_LT(wordpace(0.351, 0.25, 0.1).phase, wordpace(0.349, 0.25, 0.1).phase);
  EXPECT_FALSE(secondtwocond(5.0, 0.1f));
  EXPECT_TRUE(secondtwocond(15.0, 0.1f));
  EXPECT_TRUE(secondtwocond(5.0, -0.1f)) << "a negative period swaps the order";
  EXPECT_EQ(wordspertarg(0.0f, 0.35, 3.0f), 100000000);
  EXPECT_EQ(wordspertarg(1.0f / 16, 0.35, 0.0f), 100000000);
  EXPECT_EQ(wordspertarg(1.0f / 16, 0.5, 8.0f), 8);
  EXPECT_EQ(wordspertarg(100.0f, 0.5, 8.0f), 1) << "never a modulus of zero";
  // Numbers 1..8 rising over a number period, 8..1 for a negative one.
  for (int k = 0; k < 8; k++) {
    EXPECT_EQ(numdilnumber(8.0 * k + 4.0, 1.0f / 64), k + 1);
    EXPECT_EQ(numdilnumber(8.0 * k + 4.0, -1.0f / 64), 8 - k);
  }
  par.minrad = 0.02f;
  par.maxrad = 1.0f;
  par.exptransflag = 1;
  EXPECT_NEAR(numdilradius(0.02f), 0.02f, 1e-5f);
  EXPECT_NEAR(numdilradius(1.0f), 1.0f, 1e-4f);
  par.exptransflag = 0;
  EXPECT_FLOAT_EQ(numdilradius(0.5f), 0.5f);
  par.avgfontsize = 24;
  par.eccfontscale = 3;
  par.minfontsize = 10;
  par.winxgl = 2048;
  EXPECT_FLOAT_EQ(eccfontsize(0.5f), 2.0f * (24 * 3 * 0.5f + 10));
  // Transliteration: A and Z become the first and last entries of the table.
  std::string out;
  ASSERT_TRUE(transliterate("AZ", &out));
  EXPECT_EQ(out, "\xce\x93\xce\xa9");
  EXPECT_FALSE(transliterate("Ab", &out));
  ASSERT_TRUE(transliterate(std::string(150, 'L'), &out));
  EXPECT_EQ(out.size(), 196u) << "cut at the multibyte limit";
}

TEST(WordSchedules, AResetStartsThePolarWordsAndNumbersAgain) {
  KeepGlobals keep;
  par.simulnums = 0;  // nothing drawn: no font needed
  par.sweepspernum = 1.0f;
  par.polfreq = 0.3f;
  par.sweepspertarg = 2;
  par.textdur = 1e-6;  // words sampled between their (invisible) showings
  par.gapdur = 1.0;
  par.minlett = par.minrad = 0.1f;
  par.maxlett = par.maxrad = 1.0f;
  WordStimState nums;
  PolWordState words;
  auto drawrun = [&](std::vector<float>& seen) {
    srandom(3);
    for (double t = 0.1; t < 12.0; t += 0.3) {
      drawnumdil(nums, t);
      drawpolword(words, t);
      seen.insert(seen.end(), {nums.th, nums.rot, static_cast<float>(nums.targ * nums.offset), words.r,
                               words.randth, static_cast<float>(words.counter)});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  resetwordstims(nums);
  resetpolword(words);
  EXPECT_EQ(words.counter, 0);
  drawrun(again);
  EXPECT_EQ(first, again);
}

TEST(WordSchedules, FontTargetPlanCoversTheBlocksItShould) {
  const std::vector<std::string> names = {"off", "word", "font"};
  // Five word blocks and five font blocks: int(0.6*4)+1 = 3 targets each.
  const std::vector<int> conds = {1, 2, 0, 1, 2, 1, 0, 2, 1, 2, 1, 2, 0};
  const double w = 20.0;
  srandom(3);
  const std::vector<int> plan = fonttargetplan(conds, names, w, true);
  ASSERT_EQ(plan.size(), 6u);
  // Each target lies inside its block's words, after the first fifth.
  int prev = -1;
  for (int n : plan) {
    const int b = static_cast<int>(n / w);
    EXPECT_GE(n, static_cast<int>((b + 0.22) * w));
    EXPECT_LT(n, static_cast<int>((b + 0.22) * w) + static_cast<int>(0.75 * w));
    EXPECT_GT(n, prev) << "block order";
    prev = n;
  }
  EXPECT_GE(plan[0], static_cast<int>(0.22 * w)) << "the first word block always has one";
  EXPECT_LT(plan[0], w);
  srandom(3);
  EXPECT_EQ(fonttargetplan(conds, names, w, true), plan);
  EXPECT_TRUE(fonttargetplan({}, names, w, true).empty()) << "a random design plans no targets";
}

TEST(ReadingLayout, AveragesPagesAndSlots) {
  const std::vector<std::vector<std::string>> tok = {{"aa", "b"}, {"ccc", "<e>"}, {"d"}};
  const std::vector<std::vector<float>> wid = {{0.2f, 0.1f}, {0.3f, 0.5f}, {0.1f}};
  const ReadingAverages a = readingaverages(tok, wid, {3, 1}, 0.05f, 0.7f);
  EXPECT_EQ(a.words, 4);
  EXPECT_NEAR(a.avgwordwidth, (0.7f + 4 * 0.05f) / 4, 1e-6f);
  EXPECT_NEAR(a.avglinewidth, (0.7f + 4 * 0.05f) / 3, 1e-6f);
  EXPECT_FLOAT_EQ(a.avgwordsperblock, 2.0f);
  EXPECT_FLOAT_EQ(a.avglinesperblock, 2.0f * 3 / 4);
  // Words follow each other with a space; the marker is skipped; the page
  // wraps to the first line at the end of the file.
  PageWord pg[4];
  EXPECT_EQ(layoutpage(tok, wid, 1, 4, -1.0f, 0.5f, 0.1f, 0.05f, pg), 0) << "ends on the first line";
  EXPECT_STREQ(pg[0].text, "ccc");
  EXPECT_FLOAT_EQ(pg[1].y, 0.4f);
  EXPECT_STREQ(pg[2].text, "aa");
  EXPECT_FLOAT_EQ(pg[2].y, 0.3f);
  EXPECT_FLOAT_EQ(pg[3].x, -1.0f + 0.2f + 0.05f);
  // Width-modulated slots: equal for a zero fraction, longer for wide words.
  float ends[4];
  wordendphases(pg, 4, 0.0f, 0.2f, 0.05f, 0.0f, ends);
  for (int i = 0; i < 4; i++) EXPECT_NEAR(ends[i], (i + 1) / 4.0f, 1e-6f);
  wordendphases(pg, 4, 0.0f, 0.2f, 0.05f, 1.0f, ends);
  EXPECT_GT(ends[0], 0.25f) << "ccc is the widest";
  const CurrentWord c = currentword(ends, 4, ends[0] + 0.001f, 0.0f);
  EXPECT_EQ(c.o, 1);
  EXPECT_NEAR(c.e, 1.0f, 0.02f) << "the phase falls from 1 across the slot";
  // Ten words in a 10 s block: 1 s slots, the word index and its phase.
  const CurrentWord d = currentword(nullptr, 10, 0.35f, 0.5f);
  EXPECT_EQ(d.o, 3);
  EXPECT_FLOAT_EQ(d.e, 0.5f);
}

// Line ends of other systems: a lone CR or CR LF ends a line like LF.
TEST(WordFiles, CrAndCrLfEndLinesInEveryReader) {
  WordFile w = readtext("# mac\ralpha\rbeta\r\rgamma");
  ASSERT_TRUE(w.errors.empty());
  EXPECT_EQ(w.lines, (std::vector<std::string>{"alpha", "beta", "", "gamma"}));
  EXPECT_EQ(w.linenos, (std::vector<int>{2, 3, 4, 5}));
  w = readtext("a\r\nb\rc\n\r\nd\r\n");
  EXPECT_EQ(w.lines, (std::vector<std::string>{"a", "b", "c", "", "d"}));
  // A long comment is skipped whole, its CR LF too (no empty entry after it).
  w = readtext("#" + std::string(3000, 'c') + "\r\nword\r\n");
  EXPECT_EQ(w.lines, (std::vector<std::string>{"word"}));
  // The shared reader: the line's end is not part of it, a too long line
  // stops at the limit and leaves the rest unread.
  const std::string text = "ab\r\rcdef\r\n";
  FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  std::string line;
  bool toolong = false;
  ASSERT_TRUE(readtextline(f, line, 10, &toolong));
  EXPECT_EQ(line, "ab");
  ASSERT_TRUE(readtextline(f, line, 10, &toolong));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(readtextline(f, line, 3, &toolong));
  EXPECT_TRUE(toolong);
  EXPECT_EQ(line, "cde");
  ASSERT_TRUE(readtextline(f, line, 10, &toolong));
  EXPECT_EQ(line, "f");
  EXPECT_FALSE(readtextline(f, line, 10, &toolong));
  std::fclose(f);
}

// Things that are not files: a FIFO would hang the open, /dev/zero would
// fill memory with one endless line. Both are refused at once, by name.
TEST(WordFiles, WhatIsNoRegularFileIsRefusedBeforeItIsRead) {
  char dir[] = "/tmp/wordfifoXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string fifo = std::string(dir) + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  WordFile w = readwordfile(fifo.c_str());
  ASSERT_EQ(w.errors.size(), 2u);
  EXPECT_EQ(w.errors[0], "vistrum: ### " + fifo + " is not a regular file (a FIFO)\n");
  w = readwordfile("/dev/zero");
  ASSERT_EQ(w.errors.size(), 2u);
  EXPECT_EQ(w.errors[0], "vistrum: ### /dev/zero is not a regular file (a character device)\n");
  EXPECT_STREQ(notregularfile(dir), "a directory");
  EXPECT_EQ(notregularfile("/nonexistent/x"), nullptr) << "opening it says not found";
  // A regular file that is one endless line is stopped at the line limit.
  const std::string big = std::string(dir) + "/big.txt";
  FILE* f = std::fopen(big.c_str(), "w");
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(ftruncate(fileno(f), 1L << 30), 0);  // 1 GB of NULs, sparse
  std::fclose(f);
  w = readwordfile(big.c_str());
  ASSERT_EQ(w.errors.size(), 1u);
  EXPECT_NE(w.errors[0].find("line 1: longer than 597 characters"), std::string::npos) << w.errors[0];
  unlink(big.c_str());
  unlink(fifo.c_str());
  rmdir(dir);
}
