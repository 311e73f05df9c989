#include "stimuli/catalogue.h"

#include "composites/airvisual.h"
#include "composites/composites.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/window.h"
#include "dots/flowfields.h"
#include "dots/pursuit.h"
#include "dots/smoothflow.h"
#include "dots/vection.h"
#include "draw/imagestreams.h"
#include "draw/letters.h"
#include "draw/ring.h"
#include "draw/wedge.h"
#include "images/gaussmask.h"
#include "images/looming.h"
#include "images/maskstims.h"
#include "retino/gratings.h"
#include "retino/rivalry.h"
#include "retino/saccade.h"
#include "retino/stereowedge.h"
#include "retino/variants.h"
#include "scenario/playback.h"
#include "scenario/scenariofile.h"
#include "somato/airchecks.h"
#include "somato/airpuff.h"
#include "somato/diotest.h"
#include "somato/laser.h"
#include "stimuli/prepare.h"
#include "stimuli/waitscreens.h"
#include "text/reading.h"
#include "text/wordlists.h"
#include "text/wordstims.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

namespace {

// Defaults shared by several types, written as option text like the rows'
// own. A later option wins, so a row can start from a shared set and change it.
#define HEMIFIELD "-polRvsL -blockperiod 16 -polwidth 170 -eccwidth 0 -circwidth 0 -minrad 0.015 -maxrad 1.95 -numrad 31 -numtheta 21 -colcontrast 0.45"
#define WEDGEDOTS "-numrad 31 -numtheta 3 -polwidth 18 -minrad 0.015 -maxrad 1.5 -colcontrast 0.45 -bgwingray 0.2 -eccwidth 0 -logfile -avgfontsize 30 -circwidth 0 -rotdilextrafac 1.2 -twoperiod 2048 -flowperiod 0.5 -numdots 8000 -dotspeed 4 -dotsize 0.008 -dotdil -dotrot -textcol 0"
#define SMALLWEDGE "-logfile -flowperiod 2 -numrad 31 -numtheta 4 -polwidth 19 -minrad 0.03 -maxrad 0.5 -maxgrid 0.6 -fixrad 0.01 -fixtype 1"
#define BASICWEDGE "-numrad 31 -numtheta 2 -minrad 0.015 -maxrad 1.5 -colcontrast 0.45 -eccwidth 0"
#define WORDTEXT "-minrad 0.2 -maxrad 0.2 -textdur 0.45 -bgwingray 0.6 -avgfontsize 16 -poltextyfact 0.7 -textcol 0 -fixword"
#define THINRING "-twoperiod inf -numrad 2 -numtheta 33 -polwidth 0 -colcontrast 0.45"
#define RINGLETTDOTS "-twoperiod 2048 -numrad 3 -numtheta 33 -eccwidth 0.25 -polwidth 0 -minrad 0.017 -maxrad 1.2 -colcontrast 0.45 -bgwingray 0.2 -logfile -minlett 0.017 -maxlett 1.2 -avgfontsize 30 -textcol 0 -eccwidthrdep 0.4 0.6 -circwidth 0 -flowperiod 0.5 -numdots 8000 -dotspeed 4 -dotsize 0.008 -dotdil -dotrot"
#define RINGWEDGE "-eccperiod 32 -trbased 2 -minrad 0.015 -maxrad 1.5 -bgwingray 0.2 -eccwidth 0.14 -numrad 27 -numtheta 3 -polwidth 21 -colcontrast 0.45 -circwidth 0"
#define ORBITDISK "-orbrad 0.5 -circwidth 0.5 -polwidth 0 -eccwidth 0 -minrad 0.015 -maxrad 0.25 -numrad 13 -numtheta 29 -colcontrast 0.45 -twoperiod 2048 -flowperiod 0.5 -rotdilextrafac 1.12 -numdots 8000 -dotspeed 8 -dotsize 0.008 -dotrot -dotdil -logfile -maxlett 0.25 -avgfontsize 182 -textcol 0.15 -fixrad 0.006 -bgwingray 0"
// The circular-motion dots use the wobble rate and amplitude without the wobble switch.
#define CIRCDOTS " -polwidth 22.5 -eccwidth 0.14 -wobbleperiod 1 -wobbleamp 0.1 -nowobble -dotsize 0.015 -minrad 0.01 -maxrad 1.1 -bgwingray 0"
#define BARRIER "-flowperiod 1 -minrad 0.03 -maxrad 1 -tiffscale 2 -simulcnt 6 -fixbright 0.25 -fixline 24 -fixtype 2 -fixrad 0.006 -bgwingray 0"
#define ONEBACKWORDS "-fontfile Vera.ttf -logfile -onebacktarg 3 -minrad 0.1 -textdur 0.45 -maxrad 0.25 -avgfontsize 16 -poltextyfact 0.7 -fontfile2 lekhani_dynamic.ttf -textcol 0 -fixtype 4 -bgwingray 0.6"
#define FULLFIELD "-logfile -polperiod inf -blockperiod 16 -minrad 0.015 -nocenterpol -polwidth 360 -numrad 23 -numtheta 29"
#define RIVALRYCONDS "off monL monR bin LrivR RrivL rivR rivL"
#define GRATING "-logfile -polperiod 128 -gratfreq 1 -maxrad 1.19 -centmaskrad 0.35 -oritarg 10 5"
#define MESHIMAGES "-tiffdur 2 -noclamponscreen -fixtype 2 -fixrad 0.006 -bgwingray 0.2 -fixmesh 0.1 -fixmeshlast"
#define SACCADE "-bgwingray 0 -dotsize 0.03 -fixrad 0.012 -fixtype 4"
// Air-puff types: no box attached by default.
#define AIRBOX "-nosetupusb -bgwingray 0.25 -dotsize 0.15 -maxrad 1"
#define AIRSWEEP AIRBOX " -aflowperiod 1.5 -puffdur 0.07 -logfile"
#define AIRTUBES12 "-airtubes 12 -airtubemap 1 2 3 4 5 6 7 8 9 10 11 12"

// Every type with its log name, description and per-frame call(s).
const StimTypeInfo kTypes[] = {
    {0, "justbg", "background only: wait for trigger, record responses, zero output ports", nullptr, kOutputsOff,
     "-logfile -bgwingray 0.2"},
    // Type 1 has always written its number task's log under the plain name.
    {1, "zz", "right vs. left hemifield: wedge and flow, number task, target images", [](double t, double tprev) { (void)tprev; drawhemiletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kStencil,
     HEMIFIELD " -twoperiod 2048 -flowperiod 0.5 -rotdilextrafac 1.12 -numdots 8000 -dotspeed 8 -dotsize 0.008 -dotdil -dotrot -tiffdur 0.9 -tiffscale 1.6 -maxtiffspeed 0.2 -simulcnt 3 -logfile -avgfontsize 64 -textcol 0 -fixrad 0.006 -bgwingray 0"},
    {2, nullptr, "right vs. left polar hemifield, alternated by -blockperiod", [](double t, double tprev) { (void)tprev; drawpolar(t, par.numrad, par.numtheta, 1.0f, 0, 0.0f, 0.0f); }, 0,
     HEMIFIELD " -fixrad 0.006 -bgwingray 0"},
    {3, "polletdilim", "wedge with masked flow, number task, target images", [](double t, double tprev) { (void)tprev; drawpolletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     WEDGEDOTS " -tiffscale 1.3"},
    {4, "polletdil", "wedge with masked flow and number task (with target images: 34)", [](double t, double tprev) { (void)tprev; drawpolletdil(t, par.numrad, par.numtheta, par.numdots); }, kDotField | kWidenedMask | kStencil,
     WEDGEDOTS},
    {5, "wanderpol", "wedge around a wandering centre, jerk task", [](double t, double tprev) { (void)tprev; drawwanderpol(t, par.numrad, par.numtheta, 0); }, kWanderCentre,
     SMALLWEDGE " -oritarg 6 10"},
    {6, "wandpollet", "wedge around a wandering centre, number task", [](double t, double tprev) { (void)tprev; drawwanderpol(t, par.numrad, par.numtheta, 1); }, kWanderCentre,
     SMALLWEDGE " -minlett 0.15 -maxlett 0.35 -textdur 0.85 -avgfontsize 60 -gapdur 0.2"},
    {7, "pol4shift", "wedge in four quadrants, jerk task", [](double t, double tprev) { (void)tprev; drawpolar4shift(t, par.numrad, par.numtheta); }, 0,
     "-logfile -oritarg 6 10 -numrad 31 -numtheta 4 -polwidth 19 -interocdist 0.9 -stereoscaleeye 0.45 -maxrad 1 -fixrad 0.01 -fixtype 1 -colcontrast 0.35 -bgwingray 0.4"},
    {8, "polstereodiv", "wedge in divergent stereo, two frequencies", [](double t, double tprev) { (void)tprev; drawpolarstereodiv(t, par.numrad, par.numtheta); }, kOwnFixation | kFixationDots,
     "-numrad 31 -numtheta 3 -polwidth 14 -stereodisp -0.1 -stereoscaleeye 0.45 -notaperdisp -stereosteep 2.5 -maxrad 1.1 -fixtype 1 -colcontrast 0.35 -bgwingray 0.4", waitdivergentstereo},
    {9, nullptr, "wedge wandering along a smooth path", [](double t, double tprev) { (void)tprev; drawpolarjitt(t, par.numrad, par.numtheta, 0); }, 0,
     BASICWEDGE},
    {10, "chktargpolar", "basic rotating wedge (positive period counter-clockwise)", [](double t, double tprev) { (void)tprev; drawpolar(t, par.numrad, par.numtheta, 1.0f, 0, 0.0f, 0.0f); }, 0,
     BASICWEDGE},
    {11, "polletjitt", "wandering wedge with number task", [](double t, double tprev) { (void)tprev; drawpolarjitt(t, par.numrad, par.numtheta, 1); }, 0,
     BASICWEDGE " -logfile -avgfontsize 30"},
    {12, "pollet", "wedge with number task", [](double t, double tprev) { (void)tprev; drawpollet(t, par.numrad, par.numtheta); }, 0,
     BASICWEDGE " -logfile -avgfontsize 30"},
    {13, nullptr, "two wedges on a diameter", [](double t, double tprev) { (void)tprev; drawpol2dia(t, par.numrad, par.numtheta); }, 0,
     BASICWEDGE},
    {14, nullptr, "two mirror-image wedges", [](double t, double tprev) { (void)tprev; drawpol2opp(t, par.numrad, par.numtheta); }, 0,
     BASICWEDGE},
    {15, "polrand", "event-related wedges", [](double t, double tprev) { (void)tprev; drawpolrand(t, par.numrad, par.numtheta); }, 0,
     "-logfile -twoperiod inf -eccperiod inf -numrad 31 -numtheta 2 -eccwidth 0 -polrandnback 2 -evlags 1 2 3 -evdurs 1 2 3 -nbackgaps 3 3 4 4 5 6"},
    {16, "polwords", "words in a wedge", [](double t, double tprev) { (void)tprev; drawpolword(t); }, kWordLists,
     "-logfile " WORDTEXT, nullptr, prepareeccwords},
    {17, "pol2dialet", "two wedges on a diameter with number task", [](double t, double tprev) { (void)tprev; drawpol2dia(t, par.numrad, par.numtheta); drawpolletter(t, 0.0f); }, 0,
     BASICWEDGE " -logfile -avgfontsize 30"},
    {18, "pol2opplet", "mirror wedges with number task", [](double t, double tprev) { (void)tprev; drawpol2opplet(t, par.numrad, par.numtheta); }, 0,
     BASICWEDGE " -logfile -avgfontsize 30"},
    {19, nullptr, "red/green stereo-line wedge, two frequencies", [](double t, double tprev) { (void)tprev; drawpolarstereoline(t, par.numrad, par.numtheta); }, 0,
     "-numrad 50 -numtheta 7 -polwidth 30 -stereodisp -0.05 -fixrad 0.004 -fixtype 2 -fixmesh -0.3 -bgwingray 0"},
    {20, nullptr, "basic expanding ring (positive period outward)", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }, kRingWrapDim,
     THINRING},
    {21, nullptr, "unassigned number: background and fixation only", nullptr},
    {22, "ecclet", "ring with number task", [](double t, double tprev) { (void)tprev; drawecclet(t, par.numrad, par.numtheta); }, kRingWrapDim,
     // The letter rides the ring: its range is clipped to the ring's own
     // (minrad..maxrad) at the first call, whatever those are set to.
     THINRING " -logfile -avgfontsize 30 -eccwidthrdep 0.4 0.6 -minlett 0 -maxlett 1000"},
    {23, nullptr, "ring, two conditions: centre first, then periphery", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }, 0,
     "-ecc2cond -numrad 2 -numtheta 33 -polwidth 0 -colcontrast 0.45"},
    {24, "ecc3cond", "ring, three conditions in random blocks: centre, periphery, off", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad, par.numtheta, 0.0); }, 0,
     "-logfile -ecc3cond -proboffcond 0.2 -stoprepeats -blockperiod 16 -numrad 2 -numtheta 33 -polwidth 0 -colcontrast 0.45"},
    {25, "eccletdil", "ring with masked flow and number task", [](double t, double tprev) { (void)tprev; draweccletdil(t, par.numrad, par.numtheta, par.numdots); }, kDotField | kWidenedMask | kRingWrapDim | kStencil,
     RINGLETTDOTS},
    {26, "eccletdilim", "ring with masked flow, number task, target images", [](double t, double tprev) { (void)tprev; draweccletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kRingWrapDim | kStencil,
     RINGLETTDOTS " -maxtiffspeed 2"},
    {27, nullptr, "unassigned number: background and fixation only", nullptr},
    {28, "eccpoldilim", "ring plus wedge with masked flow and target images", [](double t, double tprev) { (void)tprev; draweccpoldilimg(t, par.numrad, par.numtheta, par.numrad2, par.numtheta2, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     RINGWEDGE " -fixmeshlast -rotdilextrafac 1.2 -twoperiod 2048 -flowperiod 0.5 -numdots 8000 -dotspeed 4 -dotsize 0.008 -dotdil -dotrot -tiffdur 0.56666666 -tiffscale 2.2 -mintiffsize 0.07 -drawtransparency -maxtiffspeed 0.2 -minlett 0.03 -maxlett 0.9 -maskimgs"},
    {29, "poldilimVvsH", "vertical vs. horizontal meridian wedges with flow and images", [](double t, double tprev) { (void)tprev; drawmeriddilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     WEDGEDOTS " -blockperiod 16 -tiffdur 0.9 -tiffscale 1.3 -maxtiffspeed 0.2 -polVvsH"},
    {30, nullptr, "low-contrast moving rings vs. static rings", [](double t, double tprev) { (void)tprev; drawlcms1(t); }, 0,
     "-dilperiod 0.25 -flowperiod 1 -polperiod inf -noexptrans -numrad 21 -numtheta 41 -light2dark 0.333 -bwcontrast 0.02 -coltype 0 -polwidth 360 -eccwidth 0.03 -maxrad 1.15"},
    {31, "orbletdilimaud", "checkerboard disk, letters, flow, image, polar auditory cue", [](double t, double tprev) { (void)tprev; draworbletdilimgaud(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     "-circwidth 2 -polwidth 0 -eccwidth 0 -minrad 0.015 -maxrad 1.1 -numrad 20 -numtheta 29 -colcontrast 0.45 -twoperiod 2048 -flowperiod 0.5 -rotdilextrafac 1.12 -numdots 8000 -dotspeed 8 -dotsize 0.008 -dotrot -dotdil -tiffscale 1.6 -maxlett 0.25 -avgfontsize 182 -logfile -textcol 0.15 -fixrad 0.006 -bgwingray 0", nullptr,
     // Neither letters (black on its black ground) nor the cue's names show: the cue is heard only.
     [] { par.textcol = -1.0f; }},
    {32, "realmotionpol", "one object that does not follow the wandering background, colour target", [](double t, double tprev) { (void)tprev; drawrealmotpolimgs(t); }, kPictures,
     "-logfile -maxrad 0.8 -bgcnt 4 -bgspercyc 10 -bgheight 2.2 -imcnt 52 -imspercyc 10 -simulcnt 10 -drawtransparency -noclamponscreen -imtarg 30 0.35 -fixline 4 -bgwingray 0", nullptr, preparerealmot},
    {33, "pursueplaybackimgs", "image pursuit vs. playback, interleaved list", [](double t, double tprev) { (void)tprev; drawpursuepassimgs(t); }, kOwnFixation | kPictures,
     "-logfile -flowsperblock 16 -maxgrid 0.5 -bgheight 1.5 -drawtransparency -bgwingray 0", nullptr, preparepursuitimages},
    {34, "poldilim", "wedge with masked flow and target images", [](double t, double tprev) { (void)tprev; drawpoldilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     WEDGEDOTS " -tiffscale 1.3"},
    {35, "orbletdilim", "polar eye position, checkerboard disk, flow, number/letter task, target images", [](double t, double tprev) { (void)tprev; draworbletdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     ORBITDISK " -tiffscale 4"},
    {36, "orbletdil", "as 35 in a circular aperture, without images", [](double t, double tprev) { (void)tprev; draworbletdil(t, par.numrad, par.numtheta, par.numdots); }, kOwnFixation | kDotField | kWidenedMask | kStencil,
     ORBITDISK},
    {37, nullptr, "dot pursuit vs. passive playback", [](double t, double tprev) { (void)tprev; drawpursuepasscirc(t, par.numdots); }, kOwnFixation | kDotField | kOwnDotPlacement,
     "-flowsperblock 16 -circwidth 1.6 -minrad 0.01 -maxrad 1.5 -maxgrid 0.5 -wiggledotamp 0.003 -dotsize 0.015 -fixline 2 -bgwingray 0", nullptr, preparepursuitpath},
    {38, "rotdil0stereo", "structured vs. scrambled dots, red/green stereo", [](double t, double tprev) { (void)tprev; drawrotdil0stereo(t, par.numdots, par.stereodisp, -1, 0); }, kOwnFixation | kDotField,
     "-flowperiod 1 -stereodisp -0.12 -dotjittcent 0 -numdots 6000 -dotspeed 1 -dotsize 0.008 -bgwingray 0 -dotrot -dotdil -fixtype 5"},
    {39, "rotdil0", "structured vs. scrambled dots", [](double t, double tprev) { (void)tprev; drawrotdil0(t, par.numdots); }, kOwnFixation | kDotField,
     "-flowperiod 0.5 -dotspeed 4 -bgwingray 0 -dotrot -dotdil -polwidth 0 -eccwidth 0 -circwidth 0"},
    {40, "rotdil1", "structured vs. scrambled dots, older form", [](double t, double tprev) { (void)tprev; drawrotdil1(t, par.numdots); }, kOwnFixation | kDotField,
     "-flowperiod 0.5 -flickerfreq 1000 -dotspeed 4 -bgwingray 0 -dotrot -dotdil"},
    {41, "rotdil2", "as 40 with dot jitter", [](double t, double tprev) { (void)tprev; drawrotdil2(t, par.numdots); }, kOwnFixation | kDotField,
     "-eccperiod inf -polperiod inf -dilperiod 1 -flowperiod 2 -flickerfreq 1000 -eccwidth 0 -polwidth 0 -maxrad 1 -dotjspeed 0 -dotjrange 0 -wdotjrange 0 -dotrot -dotdil -bgwingray 0"},
    {42, nullptr, "wandering flow wedge on a jittering dot background", [](double t, double tprev) { (void)tprev; drawpoldotbg(t, par.numdots); }, kDotField,
     "-numdots 1000 -twoperiod inf -eccperiod inf -dilperiod 1 -flickerfreq 1000 -noexptrans -eccwidth 0 -polwidth 30 -minrad 0.1 -maxrad 1.2 -dotspeed 0.05 -dotrot -usemaxrad -bgwingray 0"},
    {43, nullptr, "unassigned number: background and fixation only", nullptr},
    {44, nullptr, "circular-motion wedge, no background", [](double t, double tprev) { (void)tprev; drawpoldots(t, par.numdots); }, kDotField | kOwnDotPlacement,
     "-eccperiod inf" CIRCDOTS},
    {45, nullptr, "circular-motion ring, no background", [](double t, double tprev) { (void)tprev; draweccdots(t, par.numdots); }, kDotField,
     "-polperiod inf" CIRCDOTS, nullptr, nullptr, checkvectionring},
    {46, nullptr, "circular mask wandering to a shuffled grid", [](double t, double tprev) { (void)tprev; drawwandercircdots(t, par.numdots); }, kOwnFixation | kDotField | kOwnDotPlacement,
     "-flowperiod 2 -circwidth 0.7 -dotsize 0.015 -minrad 0.01 -maxrad 1 -wiggledotamp 0.003 -bgwingray 0", nullptr, preparewandergrid},
    {47, nullptr, "random sinusoidal vection sphere vs. scrambled", [](double t, double tprev) { (void)tprev; drawvecvsscram(t, par.numdots); }, kOwnFixation | kDotField | kDeepView | kOwnDotPlacement,
     "-flowperiod 16 -numdots 10000 -dotsize 0.05 -dotspeed 64 -sinusoidtype 2 -quadlines -stereo -stereorotdeg 20 -sphererad 1.9 -bgwingray 0", nullptr, preparevectionpatches},
    {48, nullptr, "left/right vs. up/down vection dots", [](double t, double tprev) { (void)tprev; drawvechorver(t, par.numdots); }, kOwnFixation | kDotField | kDoubleRate,
     "-flowperiod 4 -randperiod 1024 -sinusoidtype 2 -dotspeed 0.4 -numdots 4000 -bgwingray 0"},
    {49, "vec3canal", "vection in three canal planes and off, random blocks", [](double t, double tprev) { (void)tprev; drawvec3canal(t, par.numdots); }, kOwnFixation | kDotField | kRandomBlocks | kDeepView | kOwnDotPlacement,
     // The canal oscillation runs at the wobble rate; the wedge wobble stays off.
     "-logfile -blockperiod 16 -wobbleperiod 2 -nowobble -numdots 10000 -dotsize 0.05 -dotspeed 48 -sinusoidtype 3 -stereorotdeg 5 -bgwingray 0 -condnames 4 still horiz left right", nullptr, preparevectionpatches, checkcanalconds},
    {50, "glass1", "stationary Glass patterns vs. scrambled", [](double t, double tprev) { (void)tprev; drawglass1(t, par.numdots); }, kOwnFixation | kDotField | kGrowingDots,
     "-flowperiod 0.5 -flickerfreq 1000 -dotsize 0.008 -dotspeed 8 -dotrot -dotdil -noscaledots -scalefrac 0"},
    {51, "smoothflow", "smooth flow (rotation, dilation or both)", [](double t, double tprev) { drawsmoothflow(t, tprev, par.numdots, 0); }, kOwnFixation,
     "-logfile -flowperiod 64 -orbperiod inf -minrad 0.03 -numdots 1000 -dotsize 0.05 -dotlife 2 -coltype 0 -smoothflowtype 1 -rotspeed 2 -dilspeed 2", nullptr, preparesmoothflow},
    {52, "smoothglass", "smooth Glass-pattern flow", [](double t, double tprev) { drawsmoothflow(t, tprev, par.numdots, 1); }, kOwnFixation,
     "-logfile -flowperiod 64 -minrad 0.03 -numdots 1000 -dotsize 0.03 -dotcornerjitt 0.5 -dotlife 10 -smoothflowtype 3 -rotspeed 0.5 -dilspeed 0.5 -bgwingray 0", nullptr, preparesmoothflow},
    {53, nullptr, "images looming in front of vs. behind a barrier", [](double t, double tprev) { (void)tprev; drawbarrierdil(t); }, kPictures | kLooming,
     BARRIER},
    {54, "barrierrandblock", "random blocks: off, dilate in front, dilate behind", [](double t, double tprev) { (void)tprev; drawbarrierrndblk(t); }, kPictures | kLooming | kRandomBlocks,
     "-logfile -blockperiod 16 " BARRIER " -condnames 3 off dilatefront dilateback", nullptr, nullptr, checkbarrierconds},
    {55, "wordshemiVSaudrandblock", "random blocks: off, words right/left, with or without sound", [](double t, double tprev) { (void)tprev; drawwordshemiaudrndblk(t); }, kWordLists | kRandomBlocks | kSoundsInBlocks,
     "-logfile -blockperiod 16 -minrad 0.2 -maxrad 0.2 -bgwingray 0.6 -textdur 0.45 -avgfontsize 16 -poltextyfact 0.7 -textcol 0 -condnames 5 off wordsR wordsL wordsR+aud wordsL+aud", nullptr, preparehemiwords},
    {56, "flowscramsurfvolrandblock", "random stereo blocks: off, flow/scrambled surface/volume", [](double t, double tprev) { (void)tprev; drawflowscramsurfvolrndblk(t, par.numdots, par.stereodisp); }, kOwnFixation | kDotField | kRandomBlocks,
     "-logfile -blockperiod 15 -flowperiod 1 -numdots 20000 -dotspeed 1.5 -dotsize 0.004 -dotrot -dotdil -stereoLred 0.4 -stereodisp -0.08 -dimtarg 0.5 0.6 -targframes 10 -fixarr 1 0.05 -wanderfix -gridsize 3 -maxgrid 0.25 -bgwingray 0 -condnames 5 off flowsurf scramsurf flowvol scramvol", waitdotstereo, nullptr, checkflowblockconds},
    {57, "polworddilim", "wedge with masked flow, reading words, target images", [](double t, double tprev) { (void)tprev; drawpolworddilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWordLists | kWidenedMask | kStencil,
     WEDGEDOTS " -tiffscale 1.3", nullptr, prepareeccwords},
    {58, nullptr, "wedges of different frequencies (-cycleslist)", [](double t, double tprev) { (void)tprev; drawmultifreqpolar(t, par.numrad, par.numtheta); }, kNoPrePost,
     "-polperiod inf -minrad 0.015 -maxrad 1.95 -nocenterpol -polwidth 360 -numrad 29 -numtheta 37 -cycleslist 5 7 11 13 17 19 23 29 31 37 41 43"},
    {59, "imdil", "dilating image rings", [](double t, double tprev) { (void)tprev; drawimdil(t); }, kPictures | kLooming,
     "-logfile -flowperiod 24 -expfrac 0.5 -maxrad 1.4 -tiffscale 0.6 -scalefrac 0.9 -noclamponscreen -drawtransparency -simulcnt 4 -fixtype 2 -fixrad 0.006 -bgwingray 0"},
    {60, "sxexpt", "scenario-file experiment", [](double t, double tprev) { (void)tprev; drawexpt(t); }, kScenario | kSoundsInBlocks,
     "-logfile -polwidth 0 -eccwidth 0 -circwidth 0", nullptr, loadscenario},
    {61, nullptr, "conversion between output bits and event codes; ends before the loop", nullptr, kCodeConversion},
    {62, "numdil", "dilating phase-encoded numbers with one-up/one-down task", [](double t, double tprev) { (void)tprev; drawnumdil(t); }, 0,
     "-minrad 0.02 -maxrad 1 -avgfontsize 115 -minfontsize 3.33 -bgwingray 0.6 -textcol 0"},
    {63, nullptr, "sentences at random peripheral angles vs. fixation", [](double t, double tprev) { (void)tprev; drawpolword(t); }, kWordLists,
     // Its drawing writes no event lines: its defaults ask for no log.
     WORDTEXT, nullptr, prepareeccwords},
    {64, nullptr, "unassigned number: background and fixation only", nullptr},
    {65, "randwordsletts", "shuffled words vs. spaced letters, one-back", [](double t, double tprev) { (void)tprev; drawwordspacelett(t, 1); }, kWordLists,
     ONEBACKWORDS, nullptr, prepareletterwords},
    {66, "wordsletts", "unshuffled words vs. spaced letters, one-back", [](double t, double tprev) { (void)tprev; drawwordspacelett(t, 0); }, kWordLists,
     ONEBACKWORDS, nullptr, prepareletterwords},
    {67, "randwordsfont1vs2", "shuffled words, font 1 vs. font 2, one-back", [](double t, double tprev) { (void)tprev; drawwordsfont0font1(t, 1); }, kWordLists,
     ONEBACKWORDS, nullptr, preparefontwords},
    {68, "wordsfont1vs2", "unshuffled words, font 1 vs. font 2, one-back", [](double t, double tprev) { (void)tprev; drawwordsfont0font1(t, 0); }, kWordLists,
     ONEBACKWORDS, nullptr, preparefontwords},
    {69, nullptr, "periodic auditory stimulus (sounds only)", nullptr, 0,
     // The spoken numbers of lib/soundfiles/one2twelve as a clock count-down
     // starting at three. (Shipped as wav: the player reads it everywhere.)
     "-bgwingray 0.25 -textdur 0.5 -sndfiledir one2twelve -sndfilenames 12 03.wav 02.wav 01.wav 12.wav 11.wav 10.wav 09.wav 08.wav 07.wav 06.wav 05.wav 04.wav"},
    {70, "sframp", "spatial-frequency ramp, horizontal", [](double t, double tprev) { (void)tprev; drawsingratramp(t); }, kOwnFixation | kSpatialRamp,
     "-twoperiod inf -eccperiod inf -mincycles 2 -maxcycles 96 -initblankfrac 0.005 -numfsamples 106 -numcycsamples 300 -targframes 20 -sftarg 10 2 -bgwingray 0.4"},
    {71, "sframprnd", "spatial-frequency ramp, random orientation", [](double t, double tprev) { (void)tprev; drawsingratramp(t); }, kOwnFixation | kSpatialRamp,
     "-twoperiod inf -eccperiod inf -mincycles 2 -maxcycles 96 -initblankfrac 0.005 -numfsamples 106 -numcycsamples 300 -targframes 20 -sftarg 10 2 -bgwingray 0.4"},
    {72, nullptr, "temporal-frequency ramp, circular square-wave luminance", [](double t, double tprev) { (void)tprev; drawtempfreqrampsq(t); }, kTemporalRamp,
     "-minrad 0.02 -maxrad 1.15 -coltype 0 -numrad 25 -numtheta 41 -bgwingray 0.2"},
    {73, nullptr, "temporal-frequency ramp, checks with sinusoidal luminance", [](double t, double tprev) { (void)tprev; drawtempfreqrampsin(t); }, kTemporalRamp,
     "-minrad 0.015 -maxrad 1.95 -polwidth 360 -nocenterpol -numrad 23 -numtheta 29"},
    {74, "parafontoffrandblock", "reading blocks: off, paragraph, font, dots, blank", [](double t, double tprev) { (void)tprev; drawparafontoffrndblk(t); }, kOwnFixation | kWordLists | kRandomBlocks | kSentenceBlocks,
     "-fontfile Vera.ttf -logfile -fontfile2 lekhani_dynamic.ttf -wordfile paras.txt -fonttarg 0 -targframes 15 -maxrad 1.05 -font2to1scale 1.25 -blockperiod 16 -gapdur 0 -linespacing 28 -bgwingray 0.4 -textcol 0 -fixtype 1 -fixrad 0.012 -condnames 5 off para font dot blank", nullptr, preparereadingblocks},
    {75, "offwordfontrandblock", "word-form blocks: off, word, font", [](double t, double tprev) { (void)tprev; drawwordsfontoffrndblk(t); }, kOwnFixation | kWordLists | kRandomBlocks,
     "-logfile -fontfile \"Times New Roman.ttf\" -wordfile lexbank01.txt -blockperiod 20 -avgfontsize 36 -textdur 0.1 -gapdur 0.2 -bgwingray 0.4 -fixtype 4 -fixrad 0.012 -condnames 3 off word font -worddir vwfa", nullptr, preparewordforms},
    {76, "playsnd", "play a single sound file", [](double, double) { drawaudfileonce(); }, kSoundOnly},
    {77, "stermonbinrivoffrndblk", "binocular rivalry blocks, red/blue stereo", [](double t, double tprev) { (void)tprev; drawmonbinrivoffrndblk(t, par.numrad, par.numtheta); }, kRandomBlocks | kAnaglyphPalette,
     FULLFIELD " -maxrad 1.95 -avgcolbright 0.25 -bwcontrast 0.7 -stereoLred 0.5 -fixtype 2 -fixrad 0.006 -bgwingray 0 -condnames 8 " RIVALRYCONDS},
    {78, "orbdilim", "polar eye position, checkerboard disk, flow, target images", [](double t, double tprev) { (void)tprev; draworbdilimg(t, par.numrad, par.numtheta, par.numdots); }, kPictures | kPictureStreams | kDotField | kWidenedMask | kStencil,
     ORBITDISK " -tiffscale 4"},
    {79, "divgmonbinrivoffrndblk", "binocular rivalry blocks, divergent stereo", [](double t, double tprev) { (void)tprev; drawdivgmonbinrivoffrndblk(t, par.numrad, par.numtheta); }, kOwnFixation | kRandomBlocks | kEyePairPalette,
     FULLFIELD " -stereobdwidth 0.04 -stereobdgap 0.055 -stereobdbright 1 -winxy 1920 1080 -maxrad 0.7 -startstimscale 0.68643 -interocdist 1.7 -offcolbright 0.5 -stereoLred 1 -stereoLgrn 1 -stereoLblu 1 -stereoRred 1 -stereoRgrn 1 -fixtarg 2 0.1 -targframes 20 -fixtype 13 -fixgrid 1 -fixcornertri -fixline 16 -fixrad 0.009 -bgwingray 0 -condnames 8 " RIVALRYCONDS, waitrivalry},
    {80, "orient", "rotating grating", [](double t, double tprev) { draworient(t, tprev); }, kBarPalette,
     GRATING},
    {81, "orientquad", "rotating gratings in four quadrants", [](double t, double tprev) { draworientquadrants(t, tprev); }, kBarPalette | kStencil,
     GRATING " -angleoff 90 -pol4toffset 45"},
    {82, nullptr, "on/off ring from minrad to maxrad", [](double t, double tprev) { (void)tprev; draweccen(t, par.numrad2, par.numtheta2, 0.0); }, 0,
     "-twocondperiphdriver -twoperiod2 32 -numtheta2 53 -minrad2 1.03 -maxrad 1.18 -colcontrast 0.55 -fixtype 1 -fixrad 0.006"},
    {83, "poltiffmask", "images masked by the wedge", [](double t, double tprev) { (void)tprev; drawpolartiffmask(t); }, kPictures | kPictureStreams | kStencil,
     "-minrad 0.015 -maxrad 1.5 -polwidth 35 -tiffscale 1 " MESHIMAGES},
    {84, "ecctiffmask", "images masked by the ring", [](double t, double tprev) { (void)tprev; draweccentiffmask(t); }, kPictures | kPictureStreams | kStencil,
     "-minrad 0.015 -minlett 0.08 -maxrad 1.5 -eccperiod 32 -eccwidth 0.14 -tiffscale 1 " MESHIMAGES " -skipeccwrapnogap"},
    {85, "eccpoltiffmask", "images masked by wedge and ring, with pan-and-zoom drift", [](double t, double tprev) { (void)tprev; draweccpoltiffmask(t); }, kPictures | kPictureStreams | kStencil,
     "-minrad 0.015 -maxrad 1.5 -polwidth 35 -eccperiod 32 -eccwidth 0.14 -tiffscale 0.85 -maxtiffspeed 0.05 " MESHIMAGES " -skipeccwrapnogap"},
    {86, nullptr, "ring plus wedge", [](double t, double tprev) { (void)tprev; draweccpol(t, par.numrad, par.numtheta, par.numrad2, par.numtheta2); }, 0,
     RINGWEDGE},
    {87, nullptr, "several rings (ecccnt)", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 0, nullptr); }, 0,
     THINRING " -rotdilextrafac 1"},
    {88, nullptr, "several wedges (polcnt)", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 0, nullptr); }, 0,
     BASICWEDGE " -rotdilextrafac 1"},
    {89, nullptr, "internal: 120 Hz double-frame-rate stereo", [](double t, double tprev) { const StimTypeInfo* s = stiminfo(run.stimtypeSAV); drawtwoframes(s ? s->draw : nullptr, t, tprev); }, kInternalMode},
    {90, nullptr, "delayed saccade, one target", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {91, nullptr, "delayed saccade, two successive targets", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {92, "delsaccret", "delayed saccade with occasional return", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     "-logfile " SACCADE " -targ2beg 1.25 -targ2end 4.25"},
    {93, nullptr, "eccentricity delayed saccade", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {94, nullptr, "delayed saccade, random eccentricity", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {95, nullptr, "eccentricity delayed saccade, random angle", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {96, nullptr, "random double target, off/on blocks", [](double t, double tprev) { (void)tprev; drawdelsacc(t); }, kOwnFixation,
     SACCADE},
    {97, "multieccenlet", "several rings with letters", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 1, nullptr); }, 0,
     THINRING " -logfile -minlett 0.05 -maxlett 2 -avgfontsize 30 -eccwidthrdep 0.4 0.6 -rotdilextrafac 1 -wrapmaxecclet"},
    {98, "multipolarlet", "several wedges with letters", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 1, nullptr); }, 0,
     BASICWEDGE " -logfile -avgfontsize 30 -rotdilextrafac 1"},
    {99, nullptr, "writes a background-colour image with a Gaussian transparent hole", [](double t, double tprev) { (void)tprev; drawtiffgausstranspar(t); }, 0, nullptr, nullptr, checkgaussmask},
    {100, nullptr, "rotating air puffs", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs,
     AIRBOX " -puffjitt 0.1 " AIRTUBES12, nullptr, nullptr, checkrotatingpuffs},
    {101, "rightleftair", "right vs. left air puffs with one-back", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs,
     AIRBOX " -puffjitt 0.1 -onebacktarg 5 -logfile " AIRTUBES12, nullptr, nullptr, checkrightleftpuffs},
    {102, "randoffair", "random vs. off air puffs with one-back", [](double t, double tprev) { (void)tprev; drawpolarair(t); }, kAirPuffs,
     AIRBOX " -puffjitt 0.1 -onebacktarg 5 -logfile " AIRTUBES12, nullptr, nullptr, checkrandoffpuffs},
    {103, "rotrandair", "rotating vs. random air puffs", [](double t, double tprev) { (void)tprev; drawrotrandair(t); }, kAirPuffs,
     AIRSWEEP " " AIRTUBES12, nullptr, nullptr, checkflowpuffs},
    {104, nullptr, "horizontal line of air puffs, phase-encoded", [](double t, double tprev) { (void)tprev; drawphaselineair(t); }, kAirPuffs,
     AIRBOX " -puffjitt 0 -gapdur 0.05 -airtubes 12 -airtubemap 1 12 10 2 11 9 3 5 8 4 6 7", nullptr, nullptr, checkairgrid},
    {105, nullptr, "vertical line of air puffs, phase-encoded", [](double t, double tprev) { (void)tprev; drawphaselineair(t); }, kAirPuffs,
     AIRBOX " -puffjitt 0 -gapdur 0.05 -airtubes 12 -airtubemap 1 12 10 2 11 9 3 5 8 4 6 7", nullptr, nullptr, checkairgrid},
    {106, nullptr, "first half of the tubes, phase-encoded points", [](double t, double tprev) { (void)tprev; drawphasehalfpointsair(t, 0); }, kAirPuffs,
     AIRBOX " -puffjitt 0 -gapdur 0.05 -airtubes 12 -airtubemap 1 12 10 2 11 9 3 5 8 4 6 7"},
    {107, nullptr, "second half of the tubes, phase-encoded points", [](double t, double tprev) { (void)tprev; drawphasehalfpointsair(t, 1); }, kAirPuffs,
     AIRBOX " -puffjitt 0 -gapdur 0.05 -airtubes 12 -airtubemap 1 12 10 2 11 9 3 5 8 4 6 7"},
    {108, "painmap", "phase-encoded laser finger map", [](double t, double tprev) { (void)tprev; drawpainmap(t, 0); }, kLaser,
     "-nosetupusb -logfile -maxrad 0.8"},
    {109, "randpainmap", "as 108, position within a finger randomised", [](double t, double tprev) { (void)tprev; drawpainmap(t, 1); }, kLaser,
     "-nosetupusb -logfile -maxrad 0.8"},
    {110, "painonoff", "laser on/off blocks", [](double t, double tprev) { (void)tprev; drawpainrand(t); }, kLaser, nullptr, nullptr, nullptr, checklaserrepeats},
    {111, "offvisair", "random blocks: off, full visual, random air", [](double t, double tprev) { (void)tprev; drawoffvisair(t, par.numrad, par.numtheta, par.numdots); }, kOwnFixation | kPictures | kPictureStreams | kDotField | kRandomBlocks | kAirPuffs | kWidenedMask | kStencil,
     "-blockperiod 16 -orbperiod inf -circwidth 3.9 -textdur 0.55 -polwidth 0 -eccwidth 0 -minrad 0.015 -maxrad 1.95 -numrad 31 -numtheta 41 -colcontrast 0.35 -twoperiod 4096 -flowperiod 0.5 -rotdilextrafac 1 -numdots 8000 -dotspeed 8 -dotsize 0.008 -dotrot -dotdil -minlett 0.03 -maxlett 1.3 -avgfontsize 64 -textcol 0 -tiffdur 0.9 -tiffscale 1.6 -maxtiffspeed 0.2 -simulcnt 3 -fixrad 0.006 -fixtype 2 -bgwingray 0.25 -logfile -nosetupusb -aflowperiod 1.5 -puffdur 0.07 -condnames 3 off fullvis randair " AIRTUBES12, nullptr, nullptr, checkflowpuffs},
    {112, "off2air", "random blocks: off, first half, second half of the tubes", [](double t, double tprev) { (void)tprev; drawoff2airrndblk(t); }, kRandomBlocks | kAirPuffs,
     AIRSWEEP " -condnames 3 off airhalf1 airhalf2 " AIRTUBES12, nullptr, nullptr, checkhalfflowpuffs},
    {113, nullptr, "test of the 32 output bits", [](double t, double tprev) { (void)tprev; drawtestDIO32(t); }, 0,
     "-nosetupusb -puffdur 0.3"},
    {114, nullptr, "periodic centred image set", [](double t, double tprev) { (void)tprev; drawperiodictiffs(t); }, kPictures,
     "-polperiod 32 -drawtransparency -tiffscale 0.65 -maxrad 1"},
    {115, "orbrotdil", "orbital rotation/dilation dots", [](double t, double tprev) { (void)tprev; draworbrotdil(t, par.numdots); }, kOwnFixation | kDotField,
     "-orbrad 0.75 -flowperiod 0.5 -dotspeed 4 -bgwingray 0 -dotrot -dotdil -polwidth 0 -eccwidth 0 -circwidth 0"},
    {116, nullptr, "refused at start-up", nullptr},
    {117, "multieccenletdil", "several rings with letters and flow", [](double t, double tprev) { (void)tprev; draweccens(t, par.numrad, par.numtheta, par.ecccnt, 1, drawdotbackground); }, kStencil,
     RINGLETTDOTS " -numrad 3 -eccwidth 0.08 -minrad 0.015 -maxrad 1.5 -minlett 0.015 -maxlett 1.5 -rotdilextrafac 1 -wrapmaxecclet"},
    {118, "multipolarletdil", "several wedges with letters and flow", [](double t, double tprev) { (void)tprev; drawpolars(t, par.numrad, par.numtheta, par.polcnt, 1, drawdotbackground); }, kStencil,
     WEDGEDOTS " -rotdilextrafac 1"},
    {119, "off3air", "random blocks: off, tube groups 1, 2, 3", [](double t, double tprev) { (void)tprev; drawoff3airrndblk(t); }, kRandomBlocks | kAirPuffs,
     AIRSWEEP " -condnames 4 off air1 air2 air3 " AIRTUBES12, nullptr, nullptr, checkthirdflowpuffs},
    {120, "zz", "rotating vs. off air puffs", [](double t, double tprev) { (void)tprev; drawrotrandair(t); }, kAirPuffs,
     AIRSWEEP " " AIRTUBES12, nullptr, nullptr, checkflowpuffs},
    {9999, nullptr, "test pattern (not listed in the help)", [](double t, double tprev) { (void)tprev; drawzzzz(t); }},
};

constexpr int kTypeCount = sizeof kTypes / sizeof kTypes[0];

// Numbers refused at start-up although they lie in range.
constexpr int kReserved[] = {116, 121, 122, 123, 124, 125, 126, 127, 128, 129};

template <size_t N>
bool contains(const int (&set)[N], int v) {
  return std::find(std::begin(set), std::end(set), v) != std::end(set);
}

}  // namespace

void installstimuli() {
  settyperows(kTypes, kTypeCount);
  setstimulushooks(stimulusside());
}

bool validstimtype(int stimtype) {
  if (stimtype == 9999) return true;
  // Compared unsigned, so negative numbers fall above 129 too.
  if (static_cast<unsigned>(stimtype) > 129u) return false;
  return !contains(kReserved, stimtype);
}

// A type may log when its row names its log; the basic wedge only while its
// check targets are on, and any type while fixation targets are on.
bool stimmaylog(int stimtype, float chktargprob, float fixtargprob) {
  if (fixtargprob != 0.0f) return true;
  if (stimtype == 10) return chktargprob != 0.0f;
  const StimTypeInfo* s = stiminfo(stimtype);
  return s != nullptr && s->logname != nullptr;
}

const char* stimlogname(int stimtype, float chktargprob, float fixtargprob) {
  if (stimtype == 0) return "justbg";  // its responses are its record, whatever targets are on
  if (fixtargprob != 0.0f) return "fixationtarg";
  const StimTypeInfo* s = stiminfo(stimtype);
  if (stimtype == 10 && chktargprob == 0.0f) return "zz";
  return s && s->logname ? s->logname : "zz";
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
