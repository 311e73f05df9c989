// Aperture masks: background-grey partial disks drawn over a full-field
// stimulus so that only a wedge, a ring, both, or a circle stays open. The
// opening follows the checkerboard wedge and ring of the same time and
// options, whose geometry the masks take from the wedge and ring modules.
#pragma once

// Draw the mask for time t in the current transform (callers push the
// orbit, wander or pointer translation first).
void polarmask(double t);
void eccenmask(double t);
void bothmask(double t);
void circmask(double t);

// One partial disk in GLU terms: radii, start angle and sweep in degrees
// (0 at +y, clockwise), slice count.
struct MaskPiece {
  float inner, outer;
  float start, sweep;
  int slices;
};
struct MaskPlan {
  int count = 0;
  MaskPiece piece[8];
};

// Centre of the open wedge in degrees counter-clockwise from +x, as the
// checkerboard wedge places it at time t.
float maskwedgecentre(double t);
// Open wedge width in degrees (widened for the masked flow composites).
float maskwedgewidth();
// The open ring at time t after widening by d, wrap and radial transform:
// `closed` when the ring is off (blank interval, or skipped at the wrap).
struct MaskRing {
  bool closed;
  float rin, rout;  // rin > rout: the ring has wrapped to the centre
};
MaskRing maskring(double t, float d);
// Radius that reaches past the window corners for the run's orbit, dot
// size, stimulus scale and pointer use.
float maskouter(float fac);

// Adds a piece (an empty band or sweep adds nothing; at most 8 pieces).
void maskplanadd(MaskPlan& p, float inner, float outer, float start = 0.0f, float sweep = 360.0f, int slices = 100);
// Draws the pieces in background grey in the current transform.
void drawmaskplan(const MaskPlan& p);

// The pieces each mask draws (pure: no GL).
MaskPlan polarmaskplan(double t);
MaskPlan eccenmaskplan(double t);
MaskPlan bothmaskplan(double t);
MaskPlan circmaskplan();

// Masking through the stencil buffer. Painting a mask costs the area it
// covers, nearly the whole window, every frame; instead the opening is
// drawn into the stencil before the masked layers, which then draw only
// through it, and only the thin pieces of the mask along the opening's arcs
// (the centre disk, a band at maxrad) are painted at the end. The opening's
// arcs reuse the mask's own vertices, so the pixels are the mask's except
// for ties along its straight edges. Whatever is drawn before the opening
// is written must lie inside it (the checkerboard the mask opens onto).
enum MaskKind : unsigned { kPolarMask = 1u, kEccenMask = 2u, kBothMask = 4u, kCircMask = 8u, kCustomMask = 16u };
constexpr int kMaskSlots = 5;
// The stencil pieces of one mask: `open` is drawn into its stencil bit,
// `trim` is painted in background grey when the masked layers are done.
// An opening too wide to write cheaply is replaced by its `cover` (when
// `covered`): the mask's own area, written into the bit, the masked layers
// then drawing where it is not set; the cover's edges along the opening are
// the mask's, so nothing is painted at the end.
struct MaskOpening {
  MaskPlan open, trim;
  MaskPlan cover;
  bool covered = false;
};
MaskOpening maskopening(MaskKind kind, double t);

// The masks closing the layers drawn between begin and end, in the current
// transform. Without a usable stencil buffer (or with the painted masks
// asked for, or the loop's fixation furniture drawn under the stimulus,
// which the painted masks would cover) the masks are painted at the end as
// before. Spans nest: a layer inside draws through every open span.
struct MaskSpan {
  unsigned kinds = 0;
  unsigned bits = 0;       // stencil bits of the openings; 0: painted at the end
  unsigned coverslots = 0; // the slots written as covers (drawn where clear)
  MaskOpening opening[kMaskSlots];
};
// The stencil is used when the window has one and the painted masks were
// not asked for (VISTRUM_PAINTED_MASKS=1, for comparing the two).
MaskSpan beginmasks(double t, unsigned kinds);
void endmasks(const MaskSpan& span, double t);
// The same with the caller's own opening (several rings or wedges): when
// endopening returns false the stencil was not used and the caller paints
// its mask as before.
MaskSpan beginopening(const MaskOpening* opening);  // nullptr: paint it
bool endopening(const MaskSpan& span);
// The centre disk and the band at maxrad that a stencil opening reaching
// from the centre into the band leaves to paint; how far such an opening reaches.
void maskaddtrims(MaskPlan& p);
float maskopenreach();
// A wedge opening from the centre into that band: (start, sweep) in the
// mask's angles, the mask's angular step.
void maskaddwedge(MaskPlan& p, float start, float sweep);
