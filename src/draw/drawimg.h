// Putting one stored picture on the screen.
#pragma once

// Anchors: where (x, y) lies on the drawn picture.
constexpr int ANCHOR_LOWERRIGHT = 1;
constexpr int ANCHOR_LEFTMIDDLE = 2;
constexpr int ANCHOR_BOTTOMMIDDLE = 3;
constexpr int ANCHOR_CENTRE = 5;
constexpr int ANCHOR_RIGHTMIDDLE = 8;
constexpr int ANCHOR_LOWERLEFT = 0;  // any other value

// Draws picture `index` (a valid store index) `height` display units tall,
// aspect kept, placed by `anchor` relative to (x, y), in the current
// transform; binary or blended transparency as the run asks. Kept on
// screen when -clamponscreen asks, or as `clamp` says.
void drawimg(int index, float x, float y, float height, int anchor);
void drawimg(int index, float x, float y, float height, int anchor, bool clamp);

// Where drawimg puts a picture of w x h pixels: lower-left corner (X, Y) and
// size (W, H) in display units, and the pixel zoom z.
struct ImgPlace {
  float X, Y, W, H, z;
};
// `unitsperpix` is display units per screen pixel at the current stimulus
// scale; `halfw`, `halfh` the window's half extents in units.
ImgPlace imgplacement(int w, int h, float x, float y, float height, int anchor, float unitsperpix, float halfw,
                      float halfh, bool clamp);
