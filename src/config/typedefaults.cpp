// Per-type defaults: written over the built-in defaults before the options
// are parsed, so every option still overrides them.
#include "config/typedefaults.h"

#include "config/dirreaders.h"
#include "config/optionlists.h"
#include "config/params.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

Params& p = par;

void settext(char* dest, const char* text) { std::snprintf(dest, TEXTLEN, "%s", text); }

void setcondnames(std::initializer_list<const char*> names) {
  p.condnames.assign(names.begin(), names.end());
  p.condcnt = static_cast<int>(p.condnames.size());
  p.reqcondcnt = p.condcnt;
}

// Lists go through their option readers, as if given on the command line.
void runreader(ParseFn reader, std::initializer_list<const char*> args) {
  std::vector<std::string> store(args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : store) argv.push_back(&s[0]);
  reader(0, static_cast<int>(argv.size()), argv.data());
}

void identityairtubemap() {
  p.airtubes = 12;
  runreader(getairtubemap, {"-airtubemap", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
}

// Rows shared by several types.
void wedgedots34() {  // types 3, 4, 34, 57 (and the start of 29, 118)
  p.numrad = 31; p.numtheta = 3; p.polwidth = 18; p.minrad = 0.015f; p.maxrad = 1.5f;
  p.colcontrast = 0.45f; p.bgwingray = 0.2f; p.eccwidth = 0; p.logfileflag = 1; p.avgfontsize = 30;
  p.circwidth = 0; p.rotdilextrafac = 1.2f; p.twofreq = 1.0f / 2048; p.flowfreq = 2; p.numdots = 8000;
  p.dotspeed = 4; p.dotsize = 0.008f; p.dotdilflag = 1; p.dotrotflag = 1; p.textcol = 0;
}

void polar12() {  // types 1, 2
  p.polRvsLflag = 1; p.blockfreq = 1.0f / 16; p.polwidth = 170; p.eccwidth = 0; p.circwidth = 0;
  p.minrad = 0.015f; p.maxrad = 1.95f; p.numrad = 31; p.numtheta = 21; p.colcontrast = 0.45f;
}

void basic9() {  // types 9, 10, 13, 14 (and the start of 11, 12, 17, 18, 88, 98)
  p.numrad = 31; p.numtheta = 2; p.minrad = 0.015f; p.maxrad = 1.5f; p.colcontrast = 0.45f; p.eccwidth = 0;
}

void smallpolar56() {  // types 5, 6
  p.logfileflag = 1; p.flowfreq = 0.5f; p.numrad = 31; p.numtheta = 4; p.polwidth = 19; p.minrad = 0.03f;
  p.maxrad = 0.5f; p.maxgrid = 0.6f; p.fixrad = 0.01f; p.fixtype = 1;
}

void ringtext() {  // types 16, 63 (and 55, 64, 27 variants)
  p.logfileflag = 1; p.minrad = 0.2f; p.maxrad = 0.2f; p.textdur = 0.45; p.bgwingray = 0.6f;
  p.avgfontsize = 16; p.poltextyfact = 0.7f; p.textcol = 0; p.fixwordflag = 1;
}

void ring2533(bool tiffs) {  // types 25, 26
  p.twofreq = 1.0f / 2048; p.numrad = 3; p.numtheta = 33; p.eccwidth = 0.25f; p.polwidth = 0; p.minrad = 0.017f;
  p.maxrad = 1.2f; p.colcontrast = 0.45f; p.bgwingray = 0.2f; p.logfileflag = 1; p.minlett = 0.017f;
  p.maxlett = 1.2f; p.avgfontsize = 30; p.textcol = 0; p.eccfracslope = 0.4f; p.eccfracmin = 0.6f;
  p.circwidth = 0; p.flowfreq = 2; p.numdots = 8000; p.dotspeed = 4; p.dotsize = 0.008f; p.dotdilflag = 1;
  p.dotrotflag = 1;
  if (tiffs) p.maxtiffspeed = 2;
}

void orbit3536() {  // types 35, 36, 78
  p.orbrad = 0.5f; p.circwidth = 0.5f; p.polwidth = 0; p.eccwidth = 0; p.minrad = 0.015f; p.maxrad = 0.25f;
  p.numrad = 13; p.numtheta = 29; p.colcontrast = 0.45f; p.twofreq = 1.0f / 2048; p.flowfreq = 2;
  p.rotdilextrafac = 1.12f; p.numdots = 8000; p.dotspeed = 8; p.dotsize = 0.008f; p.dotrotflag = 1;
  p.dotdilflag = 1; p.logfileflag = 1; p.maxlett = 0.25f; p.avgfontsize = 182; p.textcol = 0.15f;
  p.fixrad = 0.006f; p.bgwingray = 0;
}

void flowdisc5354() {  // types 53, 54
  p.flowfreq = 1; p.minrad = 0.03f; p.maxrad = 1; p.tiffscale = 2; p.simulcnt = 6; p.fixbright = 0.25f;
  p.fixline = 24; p.fixtype = 2; p.fixrad = 0.006f; p.bgwingray = 0;
}

void hindi6568() {  // types 65-68
  settext(p.fontfile, "Vera.ttf"); p.logfileflag = 1; p.onebacktargprob = 3; p.minrad = 0.1f; p.textdur = 0.45;
  p.maxrad = 0.25f; p.avgfontsize = 16; p.poltextyfact = 0.7f; settext(p.fontfile2, "lekhani_dynamic.ttf");
  p.textcol = 0; p.fixtype = 4; p.bgwingray = 0.6f;
}

void fullfield7779() {  // shared start of types 77, 79
  p.logfileflag = 1; p.polfreq = 0; p.blockfreq = 1.0f / 16; p.minrad = 0.015f; p.centerpolflag = 0;
  p.polwidth = 360; p.numrad = 23; p.numtheta = 29;
}

void gratings8081() {  // types 80, 81
  p.logfileflag = 1; p.polfreq = 1.0f / 128; p.gratfreq = 1; p.maxrad = 1.19f; p.centmaskrad = 0.35f;
  p.oritargprob = 10;
}

void meshimages8385() {  // shared end of types 83-85
  p.tiffdur = 2; p.clamponscreenflag = 0; p.fixtype = 2; p.fixrad = 0.006f; p.bgwingray = 0.2f;
  p.drawfixmeshflag = 1; p.fixbgbright = 0.1f; p.fixmeshlastflag = 1;
}

void ring8797() {  // types 20, 87, 97 start
  p.twofreq = 0; p.numrad = 2; p.numtheta = 33; p.polwidth = 0; p.colcontrast = 0.45f;
}

// Type 69: the spoken numbers of lib/soundfiles/one2twelve as a clock
// count-down starting at three. (Shipped as wav: the player reads it
// everywhere.)
void one2twelvesounds() {
  setlibdir(LibDir::sounds, "one2twelve");
  runreader(getsndfilenames, {"-sndfilenames", "12", "03.wav", "02.wav", "01.wav", "12.wav", "11.wav", "10.wav",
                              "09.wav", "08.wav", "07.wav", "06.wav", "05.wav", "04.wav"});
}

// Types 104-107: the 4 x 3 face grid, row by row from forehead to chin.
void facegridairtubemap() {
  p.airtubes = 12;
  runreader(getairtubemap, {"-airtubemap", "1", "12", "10", "2", "11", "9", "3", "5", "8", "4", "6", "7"});
}

void airstart() {  // every air-puff type: no box attached by default
  p.setupusbflag = 0; p.bgwingray = 0.25f; p.dotsize = 0.15f; p.maxrad = 1;
}

void aflowair() {  // types 103, 112, 119, 120
  airstart(); p.aflowfreq = 1.0f / 1.5f; p.puffdur = 0.07f; p.logfileflag = 1;
}

void settypedefaults(int type) {
  switch (type) {
    case 0: p.logfileflag = 1; p.bgwingray = 0.2f; break;
    case 1:
      polar12(); p.twofreq = 1.0f / 2048; p.flowfreq = 2; p.rotdilextrafac = 1.12f; p.numdots = 8000;
      p.dotspeed = 8; p.dotsize = 0.008f; p.dotdilflag = 1; p.dotrotflag = 1; p.tiffdur = 0.9f; p.tiffscale = 1.6f;
      p.maxtiffspeed = 0.2f; p.simulcnt = 3; p.logfileflag = 1; p.avgfontsize = 64; p.textcol = 0;
      p.fixrad = 0.006f; p.bgwingray = 0;
      break;
    case 2: polar12(); p.fixrad = 0.006f; p.bgwingray = 0; break;
    case 3: case 34: case 57: wedgedots34(); p.tiffscale = 1.3f; break;
    case 4: wedgedots34(); break;
    case 5: smallpolar56(); p.oritargprob = 6; p.oritargoff = 10; break;
    case 6:
      smallpolar56(); p.minlett = 0.15f; p.maxlett = 0.35f; p.textdur = 0.85; p.avgfontsize = 60; p.gapdur = 0.2;
      break;
    case 7:
      p.logfileflag = 1; p.oritargprob = 6; p.oritargoff = 10; p.numrad = 31; p.numtheta = 4; p.polwidth = 19;
      p.interocdist = 0.9f; p.stereoscaleeye = 0.45f; p.maxrad = 1; p.fixrad = 0.01f; p.fixtype = 1;
      p.colcontrast = 0.35f; p.bgwingray = 0.4f;
      break;
    case 8:
      p.numrad = 31; p.numtheta = 3; p.polwidth = 14; p.stereodisp = -0.1f; p.stereoscaleeye = 0.45f;
      p.taperdispflag = 0; p.stereosteep = 2.5f; p.maxrad = 1.1f; p.fixtype = 1; p.colcontrast = 0.35f;
      p.bgwingray = 0.4f;
      break;
    case 9: case 10: case 13: case 14: basic9(); break;
    case 11: case 12: case 17: case 18: basic9(); p.logfileflag = 1; p.avgfontsize = 30; break;
    case 15:
      p.logfileflag = 1; p.twofreq = 0; p.eccfreq = 0; p.numrad = 31; p.numtheta = 2; p.eccwidth = 0;
      p.polrandnback = 2;
      for (int k = 0; k < 3; k++) p.eventlags[k] = p.eventdurs[k] = static_cast<float>(k + 1);
      {
        const int gaps[6] = {3, 3, 4, 4, 5, 6};
        std::memcpy(p.nbackgaps, gaps, sizeof gaps);
      }
      break;
    case 16: case 63: ringtext(); break;
    case 19:
      p.numrad = 50; p.numtheta = 7; p.polwidth = 30; p.stereodisp = -0.05f; p.fixrad = 0.004f; p.fixtype = 2;
      p.drawfixmeshflag = 1; p.fixbgbright = -0.3f; p.bgwingray = 0;
      break;
    case 20: ring8797(); break;
    case 22:
      ring8797(); p.logfileflag = 1; p.avgfontsize = 30; p.eccfracslope = 0.4f; p.eccfracmin = 0.6f;
      // The letter rides the ring: its range is clipped to the ring's own
      // (minrad..maxrad) at the first call, whatever those are set to.
      p.minlett = 0; p.maxlett = 1000;
      break;
    case 23: p.ecc2condflag = 1; p.numrad = 2; p.numtheta = 33; p.polwidth = 0; p.colcontrast = 0.45f; break;
    case 24:
      p.logfileflag = 1; p.ecc3condflag = 1; p.proboffcond = 0.2f; p.stoprepeatsflag = 1; p.blockfreq = 1.0f / 16;
      p.numrad = 2; p.numtheta = 33; p.polwidth = 0; p.colcontrast = 0.45f;
      break;
    case 25: ring2533(false); break;
    case 26: ring2533(true); break;
    case 27:
      ring8797(); p.bgwingray = 0.6f; p.logfileflag = 1; p.avgfontsize = 16; p.textdur = 0.45;
      p.poltextyfact = 0.7f; p.textcol = 0; p.fixwordflag = 1;
      break;
    case 28:
      p.eccfreq = 1.0f / 32; p.trbased = 2; p.minrad = 0.015f; p.maxrad = 1.5f; p.bgwingray = 0.2f;
      p.eccwidth = 0.14f; p.numrad = 27; p.numtheta = 3; p.polwidth = 21; p.colcontrast = 0.45f; p.circwidth = 0;
      p.fixmeshlastflag = 1; p.rotdilextrafac = 1.2f; p.twofreq = 1.0f / 2048; p.flowfreq = 2; p.numdots = 8000;
      p.dotspeed = 4; p.dotsize = 0.008f; p.dotdilflag = 1; p.dotrotflag = 1; p.tiffdur = 0.56666666f;
      p.tiffscale = 2.2f; p.mintiffsize = 0.07f; p.drawtransparencyflag = 1; p.maxtiffspeed = 0.2f;
      p.minlett = 0.03f; p.maxlett = 0.9f; p.maskimgsflag = 1;
      break;
    case 29:
      wedgedots34(); p.blockfreq = 1.0f / 16; p.tiffdur = 0.9f; p.tiffscale = 1.3f; p.maxtiffspeed = 0.2f;
      p.polVvsHflag = 1;
      break;
    case 30:
      p.dilfreq = 4; p.flowfreq = 1; p.polfreq = 0; p.exptransflag = 0; p.numrad = 21; p.numtheta = 41;
      p.light2dark = 0.333f; p.bwcontrast = 0.02f; p.coltype = 0; p.polwidth = 360; p.eccwidth = 0.03f;
      p.maxrad = 1.15f;
      break;
    case 31:
      p.circwidth = 2; p.polwidth = 0; p.eccwidth = 0; p.minrad = 0.015f; p.maxrad = 1.1f; p.numrad = 20;
      p.numtheta = 29; p.colcontrast = 0.45f; p.twofreq = 1.0f / 2048; p.flowfreq = 2; p.rotdilextrafac = 1.12f;
      p.numdots = 8000; p.dotspeed = 8; p.dotsize = 0.008f; p.dotrotflag = 1; p.dotdilflag = 1;
      p.tiffscale = 1.6f; p.maxlett = 0.25f; p.avgfontsize = 182; p.logfileflag = 1; p.textcol = 0.15f;
      p.fixrad = 0.006f; p.bgwingray = 0;
      break;
    case 32:
      p.logfileflag = 1; p.maxrad = 0.8f; p.bgcnt = 4; p.bgspercyc = 10; p.bgheight = 2.2f; p.imcnt = 52;
      p.imspercyc = 10; p.simulcnt = 10; p.drawtransparencyflag = 1; p.clamponscreenflag = 0; p.imtargprob = 30;
      p.imtargzoomorRG = 0.35f; p.fixline = 4; p.bgwingray = 0;
      break;
    case 33:
      p.logfileflag = 1; p.flowsperblock = 16; p.maxgrid = 0.5f; p.bgheight = 1.5f; p.drawtransparencyflag = 1;
      p.bgwingray = 0;
      break;
    case 35: case 78: orbit3536(); p.tiffscale = 4; break;
    case 36: orbit3536(); break;
    case 37:
      p.flowsperblock = 16; p.circwidth = 1.6f; p.minrad = 0.01f; p.maxrad = 1.5f; p.maxgrid = 0.5f;
      p.wiggledotamp = 0.003f; p.dotsize = 0.015f; p.fixline = 2; p.bgwingray = 0;
      break;
    case 38:
      p.flowfreq = 1; p.stereodisp = -0.12f; p.dotjittcent = 0; p.numdots = 6000; p.dotspeed = 1;
      p.dotsize = 0.008f; p.bgwingray = 0; p.dotrotflag = 1; p.dotdilflag = 1; p.fixtype = 5;
      break;
    case 39:
      p.flowfreq = 2; p.dotspeed = 4; p.bgwingray = 0; p.dotrotflag = 1; p.dotdilflag = 1; p.polwidth = 0;
      p.eccwidth = 0; p.circwidth = 0;
      break;
    case 40:
      p.flowfreq = 2; p.flickerfreq = 1000; p.dotspeed = 4; p.bgwingray = 0; p.dotrotflag = 1; p.dotdilflag = 1;
      break;
    case 41:
      p.eccfreq = 0; p.polfreq = 0; p.dilfreq = 1; p.flowfreq = 0.5f; p.flickerfreq = 1000; p.eccwidth = 0;
      p.polwidth = 0; p.maxrad = 1; p.dotjspeed = 0; p.dotjrange = 0; p.wdotjrange = 0; p.dotrotflag = 1;
      p.dotdilflag = 1; p.bgwingray = 0;
      break;
    case 42:
      p.numdots = 1000; p.twofreq = 0; p.eccfreq = 0; p.dilfreq = 1; p.flickerfreq = 1000; p.exptransflag = 0;
      p.eccwidth = 0; p.polwidth = 30; p.minrad = 0.1f; p.maxrad = 1.2f; p.dotspeed = 0.05f; p.dotrotflag = 1;
      p.usemaxrad = 1; p.bgwingray = 0;
      break;
    case 44: case 45:
      if (type == 44) p.eccfreq = 0; else p.polfreq = 0;
      p.polwidth = 22.5f; p.eccwidth = 0.14f; p.wobblefreq = 1; p.wobbleamp = 0.1f; p.dotsize = 0.015f;
      p.minrad = 0.01f; p.maxrad = 1.1f; p.bgwingray = 0;
      break;
    case 46:
      p.flowfreq = 0.5f; p.circwidth = 0.7f; p.dotsize = 0.015f; p.minrad = 0.01f; p.maxrad = 1;
      p.wiggledotamp = 0.003f; p.bgwingray = 0;
      break;
    case 47:
      p.flowfreq = 1.0f / 16; p.numdots = 10000; p.dotsize = 0.05f; p.dotspeed = 64; p.sinusoidtype = 2;
      p.quadlinesflag = 1; p.stereoflag = 1; p.stereorotdeg = 20; p.sphererad = 1.9f; p.bgwingray = 0;
      break;
    case 48:
      p.flowfreq = 0.25f; p.randfreq = 1.0f / 1024; p.sinusoidtype = 2; p.dotspeed = 0.4f; p.numdots = 4000;
      p.bgwingray = 0;
      break;
    case 49:
      p.logfileflag = 1; p.blockfreq = 1.0f / 16; p.wobblefreq = 0.5f; p.numdots = 10000; p.dotsize = 0.05f;
      p.dotspeed = 48; p.sinusoidtype = 3; p.stereorotdeg = 5; p.bgwingray = 0;
      setcondnames({"still", "horiz", "left", "right"});
      break;
    case 50:
      p.flowfreq = 2; p.flickerfreq = 1000; p.dotsize = 0.008f; p.dotspeed = 8; p.dotrotflag = 1;
      p.dotdilflag = 1; p.scaledotsflag = 0; p.scalefrac = 0;
      break;
    case 51:
      p.logfileflag = 1; p.flowfreq = 1.0f / 64; p.orbfreq = 0; p.minrad = 0.03f; p.numdots = 1000;
      p.dotsize = 0.05f; p.dotlife = 2; p.coltype = 0; p.smoothflowtype = 1; p.rotspeed = 2; p.dilspeed = 2;
      break;
    case 52:
      p.logfileflag = 1; p.flowfreq = 1.0f / 64; p.minrad = 0.03f; p.numdots = 1000; p.dotsize = 0.03f;
      p.dotcornerjitt = 0.5f; p.dotlife = 10; p.smoothflowtype = 3; p.rotspeed = 0.5f; p.dilspeed = 0.5f;
      p.bgwingray = 0;
      break;
    case 53: flowdisc5354(); break;
    case 54:
      p.logfileflag = 1; p.blockfreq = 1.0f / 16; flowdisc5354();
      setcondnames({"off", "dilatefront", "dilateback"});
      break;
    case 55:
      p.logfileflag = 1; p.blockfreq = 1.0f / 16; p.minrad = 0.2f; p.maxrad = 0.2f; p.bgwingray = 0.6f;
      p.textdur = 0.45; p.avgfontsize = 16; p.poltextyfact = 0.7f; p.textcol = 0;
      setcondnames({"off", "wordsR", "wordsL", "wordsR+aud", "wordsL+aud"});
      break;
    case 56:
      p.logfileflag = 1; p.blockfreq = 0.06666667f; p.flowfreq = 1; p.numdots = 20000; p.dotspeed = 1.5f;
      p.dotsize = 0.004f; p.dotrotflag = 1; p.dotdilflag = 1; p.stereoLred = 0.4f; p.stereodisp = -0.08f;
      p.dimtargprob = 0.5f; p.dimtargfrac = 0.6f; p.targframes = 10; p.fixarrayrad = 1; p.wanderfixflag = 1;
      p.gridsize = 3; p.maxgrid = 0.25f; p.bgwingray = 0;
      setcondnames({"off", "flowsurf", "scramsurf", "flowvol", "scramvol"});
      break;
    case 58:
      p.polfreq = 0; p.minrad = 0.015f; p.maxrad = 1.95f; p.centerpolflag = 0; p.polwidth = 360; p.numrad = 29;
      p.numtheta = 37;
      runreader(getfreqlist, {"-cycleslist", "5", "7", "11", "13", "17", "19", "23", "29", "31", "37", "41", "43"});
      markfreqlistdefault();
      break;
    case 59:
      p.logfileflag = 1; p.flowfreq = 1.0f / 24; p.expfrac = 0.5f; p.maxrad = 1.4f; p.tiffscale = 0.6f;
      p.scalefrac = 0.9f; p.clamponscreenflag = 0; p.drawtransparencyflag = 1; p.simulcnt = 4; p.fixtype = 2;
      p.fixrad = 0.006f; p.bgwingray = 0;
      break;
    case 60: p.logfileflag = 1; p.polwidth = 0; p.eccwidth = 0; p.circwidth = 0; break;
    case 62:
      p.minrad = 0.02f; p.maxrad = 1; p.avgfontsize = 115; p.minfontsize = 3.33f; p.bgwingray = 0.6f; p.textcol = 0;
      break;
    case 64:
      p.logfileflag = 1; p.bgwingray = 0.6f; p.avgfontsize = 16; p.textdur = 0.45; p.poltextyfact = 0.7f;
      p.textcol = 0; p.fixwordflag = 1;
      break;
    case 65: case 66: case 67: case 68: hindi6568(); break;
    case 69: p.bgwingray = 0.25f; p.textdur = 0.5; one2twelvesounds(); break;
    case 70: case 71:
      p.twofreq = 0; p.eccfreq = 0; p.mincycles = 2; p.maxcycles = 96; p.initblankfrac = 0.005f;
      p.numfsamples = 106; p.numcycsamples = 300; p.targframes = 20; p.sftargprob = 10; p.sftargmult = 2;
      p.bgwingray = 0.4f;
      break;
    case 72:
      p.minrad = 0.02f; p.maxrad = 1.15f; p.coltype = 0; p.numrad = 25; p.numtheta = 41; p.bgwingray = 0.2f;
      break;
    case 73:
      p.minrad = 0.015f; p.maxrad = 1.95f; p.polwidth = 360; p.centerpolflag = 0; p.numrad = 23; p.numtheta = 29;
      break;
    case 74:
      settext(p.fontfile, "Vera.ttf"); p.logfileflag = 1; settext(p.fontfile2, "lekhani_dynamic.ttf");
      settext(p.wordfile, "paras.txt"); p.fonttargprob = 0; p.targframes = 15; p.maxrad = 1.05f;
      p.font2to1scale = 1.25f; p.blockfreq = 1.0f / 16; p.gapdur = 0; p.linespacing = 28; p.bgwingray = 0.4f;
      p.textcol = 0; p.fixtype = 1; p.fixrad = 0.012f;
      setcondnames({"off", "para", "font", "dot", "blank"});
      break;
    case 75:
      p.logfileflag = 1; settext(p.fontfile, "Times New Roman.ttf"); settext(p.wordfile, "lexbank01.txt");
      p.blockfreq = 1.0f / 20; p.avgfontsize = 36; p.textdur = 0.1; p.gapdur = 0.2; p.bgwingray = 0.4f;
      p.fixtype = 4; p.fixrad = 0.012f;
      setcondnames({"off", "word", "font"});
      setlibdir(LibDir::words, "vwfa");
      break;
    case 77:
      fullfield7779(); p.maxrad = 1.95f; p.avgcolbright = 0.25f; p.bwcontrast = 0.7f; p.stereoLred = 0.5f;
      p.fixtype = 2; p.fixrad = 0.006f; p.bgwingray = 0;
      setcondnames({"off", "monL", "monR", "bin", "LrivR", "RrivL", "rivR", "rivL"});
      break;
    case 79:
      fullfield7779(); p.stereobdwidth = 0.04f; p.stereobdgap = 0.055f; p.stereobdbright = 1; p.winxgl = 1920;
      p.winygl = 1080; p.maxrad = 0.7f; p.startstimscale = 0.68643f; p.interocdist = 1.7f; p.offcolbright = 0.5f;
      p.stereoLred = 1; p.stereoLgrn = 1; p.stereoLblu = 1; p.stereoRred = 1; p.stereoRgrn = 1;
      p.fixtargprob = 2; p.fixtargdimfrac = 0.1f; p.targframes = 20; p.fixtype = 13; p.drawfixgridflag = 1;
      p.fixcornertriflag = 1; p.fixbgbright = 1; p.fixline = 16; p.fixrad = 0.009f; p.bgwingray = 0;
      setcondnames({"off", "monL", "monR", "bin", "LrivR", "RrivL", "rivR", "rivL"});
      break;
    case 80: gratings8081(); break;
    case 81: gratings8081(); p.angleoff = 90; p.pol4toffset = 45; break;
    case 82:
      p.twocondperiphdriver = 1; p.twofreq2 = 0.03125f; p.numtheta2 = 53; p.minrad2 = 1.03f; p.maxrad = 1.18f;
      p.colcontrast = 0.55f; p.fixtype = 1; p.fixrad = 0.006f;
      break;
    case 83:
      p.minrad = 0.015f; p.maxrad = 1.5f; p.polwidth = 35; p.tiffscale = 1; meshimages8385();
      break;
    case 84:
      p.minrad = 0.015f; p.minlett = 0.08f; p.maxrad = 1.5f; p.eccfreq = 1.0f / 32; p.eccwidth = 0.14f;
      p.tiffscale = 1; meshimages8385(); p.skipeccwrapnogapflag = 1;
      break;
    case 85:
      p.minrad = 0.015f; p.maxrad = 1.5f; p.polwidth = 35; p.eccfreq = 1.0f / 32; p.eccwidth = 0.14f;
      p.tiffscale = 0.85f; p.maxtiffspeed = 0.05f; meshimages8385(); p.skipeccwrapnogapflag = 1;
      break;
    case 86:
      p.eccfreq = 1.0f / 32; p.trbased = 2; p.minrad = 0.015f; p.maxrad = 1.5f; p.bgwingray = 0.2f;
      p.eccwidth = 0.14f; p.numrad = 27; p.numtheta = 3; p.polwidth = 21; p.colcontrast = 0.45f; p.circwidth = 0;
      break;
    case 87: ring8797(); p.rotdilextrafac = 1; break;
    case 88: basic9(); p.rotdilextrafac = 1; break;
    case 90: case 91: case 93: case 94: case 95: case 96:
      p.bgwingray = 0; p.dotsize = 0.03f; p.fixrad = 0.012f; p.fixtype = 4;
      break;
    case 92:
      p.logfileflag = 1; p.bgwingray = 0; p.dotsize = 0.03f; p.fixrad = 0.012f; p.fixtype = 4; p.targ2beg = 1.25;
      p.targ2end = 4.25;
      break;
    case 97:
      ring8797(); p.logfileflag = 1; p.minlett = 0.05f; p.maxlett = 2; p.avgfontsize = 30; p.eccfracslope = 0.4f;
      p.eccfracmin = 0.6f; p.rotdilextrafac = 1; p.wrapmaxeccletflag = 1;
      break;
    case 98: basic9(); p.logfileflag = 1; p.avgfontsize = 30; p.rotdilextrafac = 1; break;
    case 100: airstart(); p.puffjitt = 0.1f; identityairtubemap(); break;
    case 101: case 102:
      airstart(); p.puffjitt = 0.1f; p.onebacktargprob = 5; p.logfileflag = 1; identityairtubemap();
      break;
    case 103: case 120: aflowair(); identityairtubemap(); break;
    case 112: aflowair(); setcondnames({"off", "airhalf1", "airhalf2"}); identityairtubemap(); break;
    case 119: aflowair(); setcondnames({"off", "air1", "air2", "air3"}); identityairtubemap(); break;
    case 104: case 105: case 106: case 107: airstart(); p.puffjitt = 0; p.gapdur = 0.05; facegridairtubemap(); break;
    case 108: case 109: p.setupusbflag = 0; p.logfileflag = 1; p.maxrad = 0.8f; break;
    case 111:
      p.blockfreq = 1.0f / 16; p.orbfreq = 0; p.circwidth = 3.9f; p.textdur = 0.55; p.polwidth = 0; p.eccwidth = 0;
      p.minrad = 0.015f; p.maxrad = 1.95f; p.numrad = 31; p.numtheta = 41; p.colcontrast = 0.35f;
      p.twofreq = 1.0f / 4096; p.flowfreq = 2; p.rotdilextrafac = 1; p.numdots = 8000; p.dotspeed = 8;
      p.dotsize = 0.008f; p.dotrotflag = 1; p.dotdilflag = 1; p.minlett = 0.03f; p.maxlett = 1.3f;
      p.avgfontsize = 64; p.textcol = 0; p.tiffdur = 0.9f; p.tiffscale = 1.6f; p.maxtiffspeed = 0.2f;
      p.simulcnt = 3; p.fixrad = 0.006f; p.fixtype = 2; p.bgwingray = 0.25f; p.logfileflag = 1;
      p.setupusbflag = 0; p.aflowfreq = 1.0f / 1.5f; p.puffdur = 0.07f;
      setcondnames({"off", "fullvis", "randair"});
      identityairtubemap();
      break;
    case 113: p.setupusbflag = 0; p.puffdur = 0.3f; break;
    case 114: p.polfreq = 1.0f / 32; p.drawtransparencyflag = 1; p.tiffscale = 0.65f; p.maxrad = 1; break;
    case 115:
      p.orbrad = 0.75f; p.flowfreq = 2; p.dotspeed = 4; p.bgwingray = 0; p.dotrotflag = 1; p.dotdilflag = 1;
      p.polwidth = 0; p.eccwidth = 0; p.circwidth = 0;
      break;
    case 117:
      ring2533(false); p.numrad = 3; p.eccwidth = 0.08f; p.minrad = 0.015f; p.maxrad = 1.5f; p.minlett = 0.015f;
      p.maxlett = 1.5f; p.rotdilextrafac = 1; p.wrapmaxeccletflag = 1;
      break;
    case 118: wedgedots34(); p.rotdilextrafac = 1; break;
    default: break;  // types without an entry keep the built-in defaults
  }
}

}  // namespace

void applytypedefaults(int stimtype) {
  if (stimtype == 27 || stimtype == 64) std::printf("vistrum: ### stimtype=%d, stimtype=%d: IN PROG\n", 27, 64);
  settypedefaults(stimtype);
}
