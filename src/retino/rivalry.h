// Binocular-rivalry condition stimuli: each condition is a colour type.
#pragma once

// Per-run state: the colour type of the block in force.
struct RivalryState {
  bool started = false;
  int lasttype = -999;  // the condition's type at the previous frame
  int coltype = 0;      // the palette of the last block with checks
};
void resetrivalry(RivalryState& s);
RivalryState& rivalrystate();

void drawmonbinrivoffrndblk(RivalryState& s, double t, int nrad, int ntheta);
void drawdivgmonbinrivoffrndblk(RivalryState& s, double t, int nrad, int ntheta);
// The same with the module's own state.
void drawmonbinrivoffrndblk(double t, int nrad, int ntheta);
void drawdivgmonbinrivoffrndblk(double t, int nrad, int ntheta);

constexpr int RIVALRYNOCHECKS = -1;  // "off" under type 77: fixation only
constexpr int RIVALRYBADNAME = -2;
// Colour type of condition `name` for stimulus type 77 (anaglyph) or 79
// (divergent), or one of the two codes above.
int rivalrycoltype(const char* name, int stimtype);
