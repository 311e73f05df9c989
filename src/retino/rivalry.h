// Binocular-rivalry condition stimuli: each condition is a colour type.
#pragma once

void drawmonbinrivoffrndblk(double t, int nrad, int ntheta);
void drawdivgmonbinrivoffrndblk(double t, int nrad, int ntheta);

constexpr int RIVALRYNOCHECKS = -1;  // "off" under type 77: fixation only
constexpr int RIVALRYBADNAME = -2;
// Colour type of condition `name` for stimulus type 77 (anaglyph) or 79
// (divergent), or one of the two codes above.
int rivalrycoltype(const char* name, int stimtype);
