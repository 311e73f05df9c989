// Scoring of fixation-target responses and the final score screen.
#pragma once

#include <cstdio>

// Counts of one scoring pass over a log.
struct ScoreCount {
  int targets = 0;
  int hits = 0;
  int numbers = 0;  // of the targets: digits of a number task ("NumEvent")
};
// Scores the last start in the event lines of `f` from its current position
// as the events table reads them: fixation targets ("FixEvent", from their
// first dimmed frame) and the digits of a number task ("NumEvent"); only the
// first key after a target counts, and only when within `maxcorrectRT`
// seconds; a restart or the end of the pre-saccade test starts the count
// over, and a pre-period's timer reset does not break the time base.
// With `fivekeytrigger` the "k5" lines are the scanner's pulses, not answers.
ScoreCount scorelog(FILE* f, float maxcorrectRT, bool fivekeytrigger = false, double framedur = 1.0 / 60.0);
// Integer percentage of hits (0 with no targets, at most 100).
int scorepercent(const ScoreCount& c);
// Percentage of correctly answered fixation targets and number-task digits
// in this run's log (100 without a log, or when the run had neither fixation
// targets switched on nor digits logged); the log stays open
// for appending afterwards.
int targpercent();

// The "-reportpercent" part of the "Done" screen: the score text (logged)
// above the final image, both centred.
void drawscorescreen();
// A restart: the next "Done" screen scores the log again.
void newscorereport();
