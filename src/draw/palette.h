// Check palettes: for every check the pair of colours it alternates between.
#pragma once

// Six floats per entry: colour 0 (r, g, b) then colour 1 (r, g, b). With
// stimulus type 79 the table is doubled: the second half holds the right-eye
// copies. Grows, never shrinks; lives until exit.
extern float* chkcols;
// Entries allocated per eye (the n*m of the call that last grew the table).
int chkcolscapacity();
// n*m of the last fill: the right-eye copies start at this entry.
int chkcolsfilled();

// Derived brightness levels of one fill.
struct ColourLevels {
  float lo, hi;         // asymmetric pair around the mean
  float dark, light;    // symmetric pair around the mean
  float mdark, mlight;  // mask pair
};
ColourLevels colourlevels(float avgcolbright, float colcontrast, float avgmaskbright, float maskcontrast);

// Makes room for n*m entries (twice that for type 79) and refills them by
// the rule of colour type `type`.
void makecolorsf(int n, int m, int type);
// Makes room for cnt entries (twice that for type 79) without filling them:
// no random draws, so a caller can size the table before the frame loop.
void reservechkcols(int cnt);
// One colour by the rule of `type`: the darker member when `dark` is 1.
void makecolorf(int type, int dark, float* r, float* g, float* b);
// Grey of one-sided stimuli: the background pushed by bwcontrast.
float getbwdotcolor();
// The start-up fill (numtheta x numrad+1 entries; 1 x 100 for the gratings
// of types 80 and 81).
void makechkcols();
