// Font slots and text drawing (FTGL pixmap fonts over FreeType).
#pragma once

#include "config/params.h"  // MAXFONTSIZE

#include <cstddef>
#include <string>
#include <vector>

constexpr int MAXFONTS = 3;
// Largest text size in pixels a font is rendered at (after the stimulus
// scale); an option asks for at most MAXFONTSIZE at scale 1.
constexpr int MAXFACESIZE = 4096;

// Resolves a font file name in place (library fonts dir, then the fallback);
// prints the lookup messages and exits 1 when no candidate opens.
void getfullfontfilename(char* buf, size_t bufsize);
// Loads `path` into slot `fontnum` (0..2); `path` is resolved in place.
void initfont(char* path, size_t pathsize, int fontnum);
// Switches the process locale (all categories); exits 1 on failure.
void changelocale(const char* locale);
// The same for texts that only need a UTF-8 encoding: a requested locale
// the system lacks gives a warning and the system's own UTF-8 locale.
void changelocaleutf8(const char* locale);
// Draws `text` in the current colour with grab point `lblo` at (x, y)
// display units, `size` pixels high at stimulus scale 1, in font `fontnum`.
// Grab points: 0 lower-left, 1 lower-right, 2 centre-left, 3 lower-centre,
// 5 centre-centre, 8 centre-right; anything else lower-left.
void drawstr(const char* text, float x, float y, float size, int lblo, int fontnum);
// As drawstr, for short texts whose size changes every frame (numbers
// sweeping outward): each text is rasterised once, at SCALEDFONTBASE pixels,
// into a texture of a second copy of the font (the last 16 texts are kept)
// and drawn scaled, so a new size costs no new rasterising.
constexpr unsigned SCALEDFONTBASE = 256;
void drawstrscaled(const char* text, float x, float y, float size, int lblo, int fontnum);
// Opens the scaled copy of font `fontnum` if it is not open yet (exits 1
// when it cannot be opened). Its glyph textures are made when it opens, so
// only once the window's GL context is current: start-up opens font 0 right
// after the window.
void openscaledfont(int fontnum);
// Empties the slots and loads `fontfile`, `fontfile2`, `fontfile3`.
void loadfonts();
// Number of fonts loaded; slots 0..fontcnt()-1 are valid.
int fontcnt();
// Bounding-box width in pixels of `text` drawn `size` pixels high at
// stimulus scale 1 in font `fontnum` (0 for a size below one pixel). For
// measuring word tables before the run: it may change the face size.
float measurestr(const char* text, float size, int fontnum);

// Grab-point offset in display units for a text `w` pixels wide whose font
// ascender is `a` pixels, at `unitsperpixel` display units per pixel.
struct GrabOffset {
  float dx, dy;
};
GrabOffset graboffset(int lblo, float w, float a, float unitsperpixel);

// Face size in pixels for a requested size at a stimulus scale.
unsigned facesize(float size, float stimscale);

// The lookup itself: the first candidate that opens, and the messages the
// search printed on the way (empty `path` when nothing opened).
struct FontLookup {
  std::string path;
  std::vector<std::string> messages;
};
FontLookup lookupfont(const char* name, const char* vistrumdir, const std::vector<std::string>& fallbacks);
// Fallback font files, most wanted first (the Luxi path, then Debian fonts).
const std::vector<std::string>& fallbackfonts();
// getfullfontfilename with its own fallback list.
void resolvefont(char* buf, size_t bufsize, const std::vector<std::string>& fallbacks);

// Word pacing: each word shows for `textdur`, then a gap of `gapdur`.
struct WordPace {
  float phase;   // frac(t / (textdur + gapdur))
  bool visible;  // phase <= textdur / (textdur + gapdur)
};
WordPace wordpace(double t, double textdur, double gapdur);
// Text height in pixels at radius r: grows with eccentricity and window width.
float eccfontsize(float r);
