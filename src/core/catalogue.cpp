#include "core/catalogue.h"

#include "config/params.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/window.h"
#include "dots/flowfields.h"
#include "dots/pursuit.h"
#include "dots/smoothflow.h"
#include "dots/vection.h"
#include "images/gaussmask.h"
#include "images/imagestreams.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "retino/gratings.h"
#include "retino/letters.h"
#include "retino/ring.h"
#include "retino/rivalry.h"
#include "retino/saccade.h"
#include "retino/stereowedge.h"
#include "retino/variants.h"
#include "retino/wedge.h"
#include "scenario/playback.h"
#include "somato/airpuff.h"
#include "somato/diotest.h"
#include "somato/laser.h"
#include "text/reading.h"
#include "text/wordstims.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

namespace {

// Every type with its log name, description and per-frame call(s).
const StimTypeInfo kTypes[] = {
    {0, "justbg", "background only: wait for trigger, record responses, zero output ports", nullptr},
    {1, nullptr, "right vs. left hemifield: wedge and flow, number task, target images", [](double t, double tprev) { (void)tprev; drawhemiletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {2, nullptr, "right vs. left polar hemifield, alternated by -blockperiod", [](double t, double tprev) { (void)tprev; drawpolar(t, par.numrad, par.numtheta, 1.0f, 0, 0.0f, 0.0f); }},
    {3, "polletdilim", "wedge with masked flow, number task, target images", [](double t, double tprev) { (void)tprev; drawpolletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {4, "polletdil", "wedge with masked flow and number task", [](double t, double tprev) { (void)tprev; drawpolletdil(t, par.numrad, par.numtheta, par.numdots); }, kDotField},
    {5, "wanderpol", "wedge around a wandering centre, jerk task", [](double t, double tprev) { (void)tprev; drawwanderpol(t, par.numrad, par.numtheta, 0); }},
    {6, "wandpollet", "wedge around a wandering centre, number task", [](double t, double tprev) { (void)tprev; drawwanderpol(t, par.numrad, par.numtheta, 1); }},
    {7, "pol4shift", "wedge in four quadrants, jerk task", [](double t, double tprev) { (void)tprev; drawpolar4shift(t, par.numrad, par.numtheta); }},
    {8, "polstereodiv", "wedge in divergent stereo, two frequencies", [](double t, double tprev) { (void)tprev; drawpolarstereodiv(t, par.numrad, par.numtheta); }, kOwnFixation},
    {9, nullptr, "wedge wandering along a smooth path", [](double t, double tprev) { (void)tprev; drawpolarjitt(t, par.numrad, par.numtheta, 0); }},
    {10, "chktargpolar", "basic rotating wedge (positive period counter-clockwise)", [](double t, double tprev) { (void)tprev; drawpolar(t, par.numrad, par.numtheta, 1.0f, 0, 0.0f, 0.0f); }},
    {11, "polletjitt", "wandering wedge with number task", [](double t, double tprev) { (void)tprev; drawpolarjitt(t, par.numrad, par.numtheta, 1); }},
    {12, "pollet", "wedge with number task", [](double t, double tprev) { (void)tprev; drawpollet(t, par.numrad, par.numtheta); }},
    {13, nullptr, "two wedges on a diameter", [](double t, double tprev) { (void)tprev; drawpol2dia(t, par.numrad, par.numtheta); }},
    {14, nullptr, "two mirror-image wedges", [](double t, double tprev) { (void)tprev; drawpol2opp(t, par.numrad, par.numtheta); }},
    {15, "polrand", "event-related wedges", [](double t, double tprev) { (void)tprev; drawpolrand(t, par.numrad, par.numtheta); }},
    {16, "polwords", "words in a wedge", [](double t, double tprev) { (void)tprev; drawpolword(t); }, kWordLists},
    {17, "pol2dialet", "two wedges on a diameter with number task", [](double t, double tprev) { (void)tprev; drawpol2dia(t, par.numrad, par.numtheta); drawpolletter(t, 0.0f); }},
    {18, "pol2opplet", "mirror wedges with number task", [](double t, double tprev) { (void)tprev; drawpol2opplet(t, par.numrad, par.numtheta); }},
    {19, nullptr, "red/green stereo-line wedge, two frequencies", [](double t, double tprev) { (void)tprev; drawpolarstereoline(t, par.numrad, par.numtheta); }},
    {20, nullptr, "basic expanding ring (positive period outward)", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }},
    {21, nullptr, "unassigned number: background and fixation only", nullptr},
    {22, "ecclet", "ring with number task", [](double t, double tprev) { (void)tprev; drawecclet(t, par.numrad, par.numtheta); }},
    {23, nullptr, "ring, two conditions: centre first, then periphery", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }},
    {24, "ecc3cond", "ring, three conditions in random blocks: centre, periphery, off", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }},
    {25, "eccletdil", "ring with masked flow and number task", [](double t, double tprev) { (void)tprev; draweccletdil(t, par.numrad, par.numtheta, par.numdots); }, kDotField},
    {26, "eccletdilim", "ring with masked flow, number task, target images", [](double t, double tprev) { (void)tprev; draweccletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {27, nullptr, "unassigned number: background and fixation only", nullptr, kWordLists},
    {28, nullptr, "ring plus wedge with masked flow and target images", [](double t, double tprev) { (void)tprev; draweccpoldilimg(t, par.numrad, par.numtheta, par.numrad2, par.numtheta2, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {29, "poldilimVvsH", "vertical vs. horizontal meridian wedges with flow and images", [](double t, double tprev) { (void)tprev; drawmeriddilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {30, nullptr, "low-contrast moving rings vs. static rings", [](double t, double tprev) { (void)tprev; drawlcms1(t); }},
    {31, "orbletdilimaud", "checkerboard disk, letters, flow, image, polar auditory cue", [](double t, double tprev) { (void)tprev; draworbletdilimgaud(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {32, "realmotionpol", "one object that does not follow the wandering background, colour target", [](double t, double tprev) { (void)tprev; drawrealmotpolimgs(t); }, kPictures},
    {33, "pursueplaybackimgs", "image pursuit vs. playback, interleaved list", [](double t, double tprev) { (void)tprev; drawpursuepassimgs(t); }, kOwnFixation | kPictures},
    {34, "poldilim", "wedge with masked flow and target images", [](double t, double tprev) { (void)tprev; drawpoldilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {35, "orbletdilim", "polar eye position, checkerboard disk, flow, number/letter task, target images", [](double t, double tprev) { (void)tprev; draworbletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {36, "orbletdil", "as 35 in a circular aperture, without images", [](double t, double tprev) { (void)tprev; draworbletdil(t, par.numrad, par.numtheta, par.numdots); }, kOwnFixation | kDotField},
    {37, nullptr, "dot pursuit vs. passive playback", [](double t, double tprev) { (void)tprev; drawpursuepasscirc(t, par.numdots); }, kOwnFixation | kDotField},
    {38, nullptr, "structured vs. scrambled dots, red/green stereo", [](double t, double tprev) { (void)tprev; drawrotdil0stereo(t, par.numdots, par.stereodisp, -1, 0); }, kOwnFixation | kDotField},
    {39, "rotdil0", "structured vs. scrambled dots", [](double t, double tprev) { (void)tprev; drawrotdil0(t, par.numdots); }, kOwnFixation | kDotField},
    {40, nullptr, "structured vs. scrambled dots, older form", [](double t, double tprev) { (void)tprev; drawrotdil1(t, par.numdots); }, kOwnFixation | kDotField},
    {41, nullptr, "as 40 with dot jitter", [](double t, double tprev) { (void)tprev; drawrotdil2(t, par.numdots); }, kOwnFixation | kDotField},
    {42, nullptr, "wandering flow wedge on a jittering dot background", [](double t, double tprev) { (void)tprev; drawpoldotbg(t, par.numdots); }, kDotField},
    {43, nullptr, "unassigned number: background and fixation only", nullptr},
    {44, nullptr, "circular-motion wedge, no background", [](double t, double tprev) { (void)tprev; drawpoldots(t, par.numdots); }, kDotField},
    {45, nullptr, "circular-motion ring, no background", [](double t, double tprev) { (void)tprev; draweccdots(t, par.numdots); }, kDotField},
    {46, nullptr, "circular mask wandering to a shuffled grid", [](double t, double tprev) { (void)tprev; drawwandercircdots(t, par.numdots); }, kOwnFixation | kDotField},
    {47, nullptr, "random sinusoidal vection sphere vs. scrambled", [](double t, double tprev) { (void)tprev; drawvecvsscram(t, par.numdots); }, kOwnFixation | kDotField},
    {48, nullptr, "left/right vs. up/down vection dots", [](double t, double tprev) { (void)tprev; drawvechorver(t, par.numdots); }, kOwnFixation | kDotField},
    {49, "vec3canal", "vection in three canal planes and off, random blocks", [](double t, double tprev) { (void)tprev; drawvec3canal(t, par.numdots); }, kOwnFixation | kDotField | kRandomBlocks},
    {50, nullptr, "stationary Glass patterns vs. scrambled", [](double t, double tprev) { (void)tprev; drawglass1(t, par.numdots); }, kOwnFixation | kDotField},
    {51, "smoothflow", "smooth flow (rotation, dilation or both)", [](double t, double tprev) { drawsmoothflow(t, tprev, par.numdots, 0); }, kOwnFixation},
    {52, "smoothglass", "smooth Glass-pattern flow", [](double t, double tprev) { drawsmoothflow(t, tprev, par.numdots, 1); }},
    {53, nullptr, "images looming in front of vs. behind a barrier", [](double t, double tprev) { (void)tprev; drawbarrierdil(t); }, kPictures | kLooming},
    {54, "barrierrandblock", "random blocks: off, dilate in front, dilate behind", [](double t, double tprev) { (void)tprev; drawbarrierrndblk(t); }, kPictures | kLooming | kRandomBlocks},
    {55, "wordshemiVSaudrandblock", "random blocks: off, words right/left, with or without sound", [](double t, double tprev) { (void)tprev; drawwordshemiaudrndblk(t); }, kWordLists | kRandomBlocks},
    {56, "flowscramsurfvolrandblock", "random stereo blocks: off, flow/scrambled surface/volume", [](double t, double tprev) { (void)tprev; drawflowscramsurfvolrndblk(t, par.numdots, par.stereodisp); }, kOwnFixation | kDotField | kRandomBlocks},
    {57, "polworddilim", "wedge with masked flow, reading words, target images", [](double t, double tprev) { (void)tprev; drawpolworddilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWordLists},
    {58, nullptr, "wedges of different frequencies (-cycleslist)", [](double t, double tprev) { (void)tprev; drawmultifreqpolar(t, par.numrad, par.numtheta); }},
    {59, "imdil", "dilating image rings", [](double t, double tprev) { (void)tprev; drawimdil(t); }, kPictures | kLooming},
    {60, "sxexpt", "scenario-file experiment", [](double t, double tprev) { (void)tprev; drawexpt(t); }},
    {61, nullptr, "conversion between output bits and event codes; ends before the loop", nullptr},
    {62, "numdil", "dilating phase-encoded numbers with one-up/one-down task", [](double t, double tprev) { (void)tprev; drawnumdil(t); }},
    {63, nullptr, "sentences at random peripheral angles vs. fixation", [](double t, double tprev) { (void)tprev; drawpolword(t); }, kWordLists},
    {64, nullptr, "unassigned number: background and fixation only", nullptr},
    {65, "randwordsletts", "shuffled words vs. spaced letters, one-back", [](double t, double tprev) { (void)tprev; drawwordspacelett(t, 1); }, kWordLists},
    {66, "wordsletts", "unshuffled words vs. spaced letters, one-back", [](double t, double tprev) { (void)tprev; drawwordspacelett(t, 0); }, kWordLists},
    {67, "randwordsfont1vs2", "shuffled words, font 1 vs. font 2, one-back", [](double t, double tprev) { (void)tprev; drawwordsfont0font1(t, 1); }, kWordLists},
    {68, "wordsfont1vs2", "unshuffled words, font 1 vs. font 2, one-back", [](double t, double tprev) { (void)tprev; drawwordsfont0font1(t, 0); }, kWordLists},
    {69, nullptr, "periodic auditory stimulus (sounds only)", nullptr},
    {70, "sframp", "spatial-frequency ramp, horizontal", [](double t, double tprev) { (void)tprev; drawsingratramp(t); }, kOwnFixation},
    {71, "sframprnd", "spatial-frequency ramp, random orientation", [](double t, double tprev) { (void)tprev; drawsingratramp(t); }, kOwnFixation},
    {72, nullptr, "temporal-frequency ramp, circular square-wave luminance", [](double t, double tprev) { (void)tprev; drawtempfreqrampsq(t); }},
    {73, nullptr, "temporal-frequency ramp, checks with sinusoidal luminance", [](double t, double tprev) { (void)tprev; drawtempfreqrampsin(t); }},
    {74, "parafontoffrandblock", "reading blocks: off, paragraph, font, dots, blank", [](double t, double tprev) { (void)tprev; drawparafontoffrndblk(t); }, kOwnFixation | kWordLists | kRandomBlocks},
    {75, "offwordfontrandblock", "word-form blocks: off, word, font", [](double t, double tprev) { (void)tprev; drawwordsfontoffrndblk(t); }, kOwnFixation | kWordLists | kRandomBlocks},
    {76, "playsnd", "play a single sound file", [](double, double) { drawaudfileonce(); }, kSoundOnly},
    {77, "stermonbinrivoffrndblk", "binocular rivalry blocks, red/blue stereo", [](double t, double tprev) { (void)tprev; drawmonbinrivoffrndblk(t, par.numrad, par.numtheta); }, kRandomBlocks},
    {78, "orbdilim", "polar eye position, checkerboard disk, flow, target images", [](double t, double tprev) { (void)tprev; draworbdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField},
    {79, "divgmonbinrivoffrndblk", "binocular rivalry blocks, divergent stereo", [](double t, double tprev) { (void)tprev; drawdivgmonbinrivoffrndblk(t, par.numrad, par.numtheta); }, kOwnFixation | kRandomBlocks},
    {80, "orient", "rotating grating", [](double t, double tprev) { draworient(t, tprev); }, kBarPalette},
    {81, "orientquad", "rotating gratings in four quadrants", [](double t, double tprev) { draworientquadrants(t, tprev); }, kBarPalette | kStencil},
    {82, nullptr, "on/off ring from minrad to maxrad", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad2, par.numtheta2, 0.0); }},
    {83, nullptr, "images masked by the wedge", [](double t, double tprev) { (void)tprev; drawpolartiffmask(t); }, kPictures | kPictureStreams},
    {84, nullptr, "images masked by the ring", [](double t, double tprev) { (void)tprev; draweccentiffmask(t); }, kPictures | kPictureStreams},
    {85, nullptr, "images masked by wedge and ring, with pan-and-zoom drift", [](double t, double tprev) { (void)tprev; draweccpoltiffmask(t); }, kPictures | kPictureStreams},
    {86, nullptr, "ring plus wedge", [](double t, double tprev) { (void)tprev; draweccpol(t, par.numrad, par.numtheta, par.numrad2, par.numtheta2); }},
    {87, nullptr, "several rings (ecccnt)", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 0, 0); }},
    {88, nullptr, "several wedges (polcnt)", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 0, 0); }},
    {89, nullptr, "internal: 120 Hz double-frame-rate stereo", [](double t, double tprev) { const StimTypeInfo* s = stiminfo(run.stimtypeSAV); drawtwoframes(s ? s->draw : nullptr, t, tprev); }},
    {90, nullptr, "delayed saccade, one target", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {91, nullptr, "delayed saccade, two successive targets", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {92, "delsaccret", "delayed saccade with occasional return", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {93, nullptr, "eccentricity delayed saccade", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {94, nullptr, "delayed saccade, random eccentricity", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {95, nullptr, "eccentricity delayed saccade, random angle", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {96, nullptr, "random double target, off/on blocks", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation},
    {97, "multieccenlet", "several rings with letters", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 1, 0); }},
    {98, "multipolarlet", "several wedges with letters", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 1, 0); }},
    {99, nullptr, "writes a background-colour image with a Gaussian transparent hole", [](double t, double tprev) { (void)tprev; drawtiffgausstranspar(t); }},
    {100, nullptr, "rotating air puffs", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs},
    {101, "rightleftair", "right vs. left air puffs with one-back", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs},
    {102, "randoffair", "random vs. off air puffs with one-back", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs},
    {103, "rotrandair", "rotating vs. random air puffs", [](double t, double tprev) { (void)tprev; drawrotrandair(t); }, kAirPuffs},
    {104, nullptr, "horizontal line of air puffs, phase-encoded", [](double t, double tprev) { (void)tprev; drawphaselineair(t); }, kAirPuffs},
    {105, nullptr, "vertical line of air puffs, phase-encoded", [](double t, double tprev) { (void)tprev; drawphaselineair(t); }, kAirPuffs},
    {106, nullptr, "first half of the tubes, phase-encoded points", [](double t, double tprev) { (void)tprev; drawphasehalfpointsair(t, 0); }, kAirPuffs},
    {107, nullptr, "second half of the tubes, phase-encoded points", [](double t, double tprev) { (void)tprev; drawphasehalfpointsair(t, 1); }, kAirPuffs},
    {108, "painmap", "phase-encoded laser finger map", [](double t, double tprev) { (void)tprev; drawpainmap(t, 0); }},
    {109, "randpainmap", "as 108, position within a finger randomised", [](double t, double tprev) { (void)tprev; drawpainmap(t, 1); }},
    {110, "painonoff", "laser on/off blocks", [](double t, double tprev) { (void)tprev; drawpainrand(t); }},
    {111, "offvisair", "random blocks: off, full visual, random air", [](double t, double tprev) { (void)tprev; drawoffvisair(t, par.numrad, par.numtheta, par.numdots); }, kOwnFixation | kPictures | kPictureStreams | kDotField | kRandomBlocks | kAirPuffs},
    {112, "off2air", "random blocks: off, first half, second half of the tubes", [](double t, double tprev) { (void)tprev; drawoff2airrndblk(t); }, kRandomBlocks | kAirPuffs},
    {113, nullptr, "test of the 32 output bits", [](double t, double tprev) { (void)tprev; drawtestDIO32(t); }},
    {114, nullptr, "periodic centred image set", [](double t, double tprev) { (void)tprev; drawperiodictiffs(t); }, kPictures},
    {115, "orbrotdil", "orbital rotation/dilation dots", [](double t, double tprev) { (void)tprev; draworbrotdil(t, par.numdots); }, kOwnFixation | kDotField},
    {116, nullptr, "refused at start-up", nullptr},
    {117, "multieccenletdil", "several rings with letters and flow", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 1, 1); }},
    {118, "multipolarletdil", "several wedges with letters and flow", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 1, 1); }},
    {119, "off3air", "random blocks: off, tube groups 1, 2, 3", [](double t, double tprev) { (void)tprev; drawoff3airrndblk(t); }, kRandomBlocks | kAirPuffs},
    {120, "zz", "rotating vs. off air puffs", [](double t, double tprev) { (void)tprev; drawrotrandair(t); }, kAirPuffs},
    {9999, nullptr, "test pattern (not listed in the help)", [](double t, double tprev) { (void)tprev; drawzzzz(t); }},
};

constexpr int kTypeCount = sizeof kTypes / sizeof kTypes[0];

// Numbers refused at start-up although they lie in range.
constexpr int kReserved[] = {116, 121, 122, 123, 124, 125, 126, 127, 128, 129};

// Types whose drawing exists. Every other valid type is refused at start-up:
// a researcher must never run a stimulus that leaves the screen empty.
constexpr int kBuilt[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 117, 118, 119, 120, 9999};

// Types that may write an event log whatever the target settings.
// Every type whose drawing writes event lines is among them (92 its target
// returns, 97 its number task, 103 like 120, 110 its laser pulses).
constexpr int kMayLog[] = {0,  1,  3,  4,  5,  6,  7,  8,   11,  12,  15,  16,  17,  18,  22,  24,  25,  26,
                           29, 31, 32, 33, 34, 35, 36, 39,  49,  51,  52,  54,  55,  56,  57,  59,  60,  62,
                           65, 66, 67, 68, 70, 71, 74, 75,  76,  77,  78,  79,  80,  81,  92,  97,  98,  101,
                           102, 103, 108, 109, 110, 111, 112, 115, 117, 118, 119, 120};

template <size_t N>
bool contains(const int (&set)[N], int v) {
  return std::find(std::begin(set), std::end(set), v) != std::end(set);
}

}  // namespace

const StimTypeInfo* stiminfo(int stimtype) {
  for (const StimTypeInfo& s : kTypes)
    if (s.num == stimtype) return &s;
  return nullptr;
}

const StimTypeInfo* stimtable(int* count) {
  *count = kTypeCount;
  return kTypes;
}

bool validstimtype(int stimtype) {
  if (stimtype == 9999) return true;
  // Compared unsigned, so negative numbers fall above 129 too.
  if (static_cast<unsigned>(stimtype) > 129u) return false;
  return !contains(kReserved, stimtype);
}

bool stimbuilt(int stimtype) { return contains(kBuilt, stimtype); }

bool stimmaylog(int stimtype, float chktargprob, float fixtargprob) {
  if (fixtargprob != 0.0f) return true;
  if (stimtype == 10) return chktargprob != 0.0f;
  return contains(kMayLog, stimtype);
}

const char* stimlogname(int stimtype, float chktargprob, float fixtargprob) {
  if (stimtype == 0) return "justbg";
  const char* name = "zz";
  if (stimtype == 76) name = "playsnd";
  if (fixtargprob != 0.0f) return "fixationtarg";
  if (stimtype == 10 && chktargprob == 0.0f) return name;
  const StimTypeInfo* s = stiminfo(stimtype);
  if (s && s->logname) name = s->logname;
  return name;
}

bool stimneeds(int stimtype, unsigned what) {
  const StimTypeInfo* s = stiminfo(stimtype);
  return s != nullptr && (s->needs & what) != 0;
}

void drawstimulus(int stimtype, double t, double tprev) {
  const StimTypeInfo* s = stiminfo(stimtype);
  if (s && s->draw) s->draw(t, tprev);
}

int zzzzsquarewhite(int c, int r, int inv) { return ((c + r) % 2 == 0) != (inv != 0); }

void drawzzzz(double) {
  static int toggle = 0;  // carried across calls: the board inverts every frame
  const float half = 0.02f;
  glBegin(GL_QUADS);
  for (int c = 0; c < 50; c++) {
    for (int r = 0; r < 50; r++) {
      const float g = zzzzsquarewhite(c, r, toggle) ? 1.0f : 0.0f;
      const float x = 0.04f * c - 1.0f, y = 0.04f * r - 1.0f;
      glColor3f(g, g, g);
      glVertex2f(x - half, y - half);
      glVertex2f(x + half, y - half);
      glVertex2f(x + half, y + half);
      glVertex2f(x - half, y + half);
    }
  }
  glEnd();
  toggle = !toggle;
}
