// A photodiode patch: a small square in a chosen corner of the window, white
// for a set number of frames from each logged stimulus onset (a condition,
// target, picture, letter or scenario code line) and black otherwise, so a
// photodiode on the screen checks the onsets against the log.
#pragma once

// Refuses a corner other than 0-4 or no frames; warns that without a log
// no onset is known.
void checkphotodiode();
// A line was logged while the frame was built.
void notelogline(const char* line);
// The patch over the finished frame (corner 1 top-left, 2 top-right,
// 3 bottom-left, 4 bottom-right; none for 0), then one frame counted down.
void drawphotodiode(bool shown);
// The patch's corner square in window pixels: x, y (from the bottom left), side.
struct PatchBox {
  int x, y, side;
};
PatchBox photodiodebox(int corner, int winx, int winy);
