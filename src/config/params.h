// Run parameters: one member per option value, named as the option table
// names them. The member initialisers are the built-in defaults, so
// `par = Params{}` resets every parameter in one place.
#pragma once

#include <string>
#include <vector>

constexpr int TEXTLEN = 200;  // text parameters hold 199 characters + NUL
// Largest text size an option may ask for, in pixels at stimulus scale 1.
constexpr float MAXFONTSIZE = 1000.0f;

struct Params {
  // Run, timing and periods (periods are stored as rates, 1/period)
  int stimtype = 10;
  float runfreq = 0.001953125f;  // 1/512 s
  double exptend = -1.0;         // -1: no end
  float prepostfix = 0.0f;
  float trbased = 0.0f;
  float polfreq = 1.0f / 64.0f;
  float eccfreq = 1.0f / 64.0f;
  float orbfreq = 1.0f / 64.0f;
  float rampfreq = 1.0f / 64.0f;
  float twofreq = 1.0f / 32.0f;
  float twofreq2 = 11.0f / 256.0f;  // period 23.2727 s
  float dilfreq = 0.0f;
  float flowfreq = 0.0f;
  float aflowfreq = 0.0f;
  int wobbleflag = 0;
  float wobblefreq = 1.3f;  // also -wobbleperiod 0.769231
  float stereofreq = 0.0f;
  float blockfreq = 0.0f;
  float randfreq = 0.0f;
  float numfreq = 1.0f / 64.0f;
  float linefreq = 1.0f / 64.0f;
  int offspercyc = 0;
  int offsperrun = 0;
  float offsfrac = 0.03f;
  float onfrac = 0.5f;
  float flickerfreq = 4.0f;
  float gratfreq = 16.0f;
  int flowsperblock = 8;
  int trunc2offflag = 0;
  int twocondperiphflag = 0;

  // Condition lists and random blocks
  std::vector<std::string> condnames;  // each at most 199 characters
  int condcnt = 0;
  int reqcondcnt = 0;  // count the stimulus type requires (0: any)
  std::vector<int> condlist;
  int condlistcnt = 0;
  std::vector<float> conddurlist;
  std::vector<float> freqlist;  // rates in Hz (cycles x runfreq)
  int freqlistcnt = 0;
  std::vector<float> targtimeslist;  // seconds
  int targtimescnt = 0;
  float proboffcond = 0.333f;
  int srseed = 1;
  int srseedgivenflag = 0;  // -srseed was on the command line
  float ecc2condcent = 0.2f;
  float ecc2condperi = 0.8f;
  int stoprepeatsflag = 0;

  // Wedge and ring geometry
  float expfrac = 1.0f;
  float polwidth = 11.25f;  // degrees until the post-parse conversion
  float eccwidth = 0.08f;
  float eccfracslope = 0.0f;
  float eccfracmin = 1.0f;
  float circwidth = 0.8f;
  float fwhmheight = 0.0f;
  float rotdilextrafac = 1.25f;
  int skipeccwrapflag = 0;
  int skipeccwrapnogapflag = 0;
  float polstartoffset = 0.0f;
  float smoothwrapfrac = 0.0f;
  float smoothwrapshri = 0.9f;
  float smoothwrapdim = 1.0f;
  float ipsirange = 0.0f;
  int vhemi = 4;
  float avoidvm = 8.0f;
  float minrad = 0.05f;
  float minrad2 = 1.1f;
  float maxrad = 2.0f;
  float orbrad = 0.0f;
  int numtheta = 0;
  int numtheta2 = 33;
  int numrad = 0;
  int numrad2 = 3;
  int truncnumrad = 1000;
  int truncnumradflag = 0;
  int ecccnt = 3;
  int polcnt = 3;
  int oppwedgewidth = 0;
  float light2dark = 1.0f;
  float centmaskrad = 0.0f;
  float pol4toffset = 0.0f;
  float sphererad = 1.56f;
  int exptransflag = 1;
  int exptransobjflag = 0;
  int peripheccmask = 0;
  int centerpolflag = 1;
  int tworingflag = 0;

  // Fixation furniture drawn by the frame loop
  float fixrad = 0.015f;
  float fixbright = 1.0f;
  float fixdim = 0.31f;
  int fixtype = 0;
  float fixline = 1.0f;
  float fixdisp = 0.0f;
  int fixarrayrad = 0;
  float fixarraydel = 0.05f;
  float fixbgbright = 0.55f;
  int drawfixmeshflag = 0;
  int drawfixgridflag = 0;
  int gridperinteroc = 3;
  int drawfixdotsflag = 0;
  float wigglefixamp = 0.03f;
  float wigglefixlam = 0.1f;
  float wiggledotamp = 0.0f;
  float fixfontsize = 24.0f;
  int fixmeshlastflag = 0;
  int wanderfixflag = 0;
  int fixgridmaskflag = 1;
  int fixcornertriflag = 0;
  int fixcentflag = 0;
  int wigglefixflag = 0;

  // Wobble
  float wobbleamp = 3.0f;
  int wobbleedgeflag = 0;
  float wobbleedgefreq = 64.0f;
  float wobbleedgeamp = 0.01f;
  int wobbledispflag = 0;
  float wobbledispfreq = 0.5f;
  float wobbledispamp = 0.01f;

  // Attention targets and responses
  float dimtargprob = 0.0f;
  float dimtargfrac = 0.8f;
  float oritargprob = 0.0f;
  float oritargoff = 5.0f;
  float disptargprob = 0.0f;
  float disptargoff = 0.02f;
  float flowtargprob = 0.0f;
  float flowtargmin = 0.2f;
  float sftargprob = 0.0f;
  float sftargmult = 1.0f;
  float chktargprob = 0.0f;
  float chktargfac = 1.0f;
  float fixtargprob = 0.0f;
  float fixtargdimfrac = 0.5f;
  char fixlettstr[TEXTLEN] = "";
  int fixlettflag = 0;
  float fonttargprob = 0.5f;
  float imtargprob = 0.0f;
  float imtargzoomorRG = 1.08f;
  int imtargfrms = 5;
  float onebacktargprob = 0.0f;
  char finaltiff[TEXTLEN] = "";  // -reportpercent image
  float splashheight = 1.0f;
  float maxcorrectRT = 2.0f;
  float presaccadedur = 0.0f;
  int minfrms2nexttg = 120;
  int targframes = 1;
  int oritargquad = 0;
  int arrowkeyhits = 0;

  // Letters, images and backgrounds
  float minlett = 0.024f;
  float maxlett = 1.05f;
  float imjitt = 0.1f;
  float bgheight = 2.0f;
  float imheight = 0.4f;
  int imcnt = 10;
  int bgcnt = 1;
  float bgspercyc = 0.5f;
  float imspercyc = 0.5f;
  float maxgrid = 0.7f;
  int gridsize = 5;
  float tiffdur = 0.5f;
  float tiffscale = 1.1f;
  float tiffrad = 0.5f;
  float scalefrac = 1.0f;
  float mintiffsize = 0.05f;
  char targtiffinfix[TEXTLEN] = "targ0";
  float maxtiffspeed = 0.005f;
  int simulcnt = 1;
  int wrapmaxeccletflag = 0;
  int screenclampletflag = 0;
  int wandpolbalanceflag = 1;
  int staggertiffsflag = 1;
  int maskimgsflag = 0;
  int clamponscreenflag = 1;
  int testflag = 0;

  // Gratings and frequency ramps
  float minbar = 0.01f;
  float maxbar = 0.1f;
  float mintfreq = 0.5f;
  float maxtfreq = 30.0f;
  float sinfrac = 0.2f;
  float mincycles = 1.0f;
  float maxcycles = 90.0f;
  float initblankfrac = 0.1f;
  int numfsamples = 100;
  int numcycsamples = 100;
  int numflikperfreq = 3;

  // Colours and contrast
  float bgwingray = 0.5f;
  float bwcontrast = 1.0f;
  float vbwfrac = 1.0f;
  int coltype = 3;
  float colcontrast = 0.5f;
  float avgcolbright = 0.5f;
  float maskcontrast = 0.5f;
  float avgmaskbright = 0.5f;
  float offcolbright = 0.15f;
  int sinusoidtype = 0;
  float greenbluedim = 0.75f;

  // Stereo
  float stereorotdeg = -5.0f;
  float stereodisp = 0.05f;
  float interocdist = 1.07f;
  float vertdisp = 0.0f;
  float stereoscaleeye = 1.0f;
  int stereobdtype = 2;
  float stereobdrad = 1.16f;
  float stereobdwidth = 0.05f;
  float stereobdgap = 0.0f;
  float stereobdbright = 0.0f;
  float stereocent = 0.8f;
  float stereosteep = 1.5f;
  float stereoline = 1.0f;
  float stereoLred = 0.8f, stereoLgrn = 0.0f, stereoLblu = 0.0f;
  float stereoRred = 0.0f, stereoRgrn = 0.0f, stereoRblu = 1.0f;
  int stereoflag = 0;
  int quadlinesflag = 0;
  int packstereoupdownflag = 0;
  int doubleframerateflag = 0;
  int taperdispflag = 1;
  int antialiasflag = 0;

  // Dots and flow
  int numdots = 2000;
  float maxdotxy = 3.0f;
  float dotsize = 0.01f;
  float dotcornerjitt = 0.0f;
  float dotlife = 20.0f;
  float dotspeed = 0.1f;
  float rotspeed = 1.0f;
  float dilspeed = 1.0f;
  float dotjspeed = 0.05f;
  int flowspertarg = 0;
  int smoothflowtype = 0;
  float depthripples = 2.0f;
  float dotjittcent = 0.02f;
  int dotstereotype = 2;
  float dotjrange = 0.1f;
  float wdotjrange = 0.1f;
  int dotrotflag = 0;
  int dotdilflag = 0;
  int scaledotsflag = 1;

  // Words and text
  char vistrumlocale[TEXTLEN] = "en_US.UTF-8";
  char wordfile[TEXTLEN] = "words.txt";
  float avgfontsize = 24.0f;
  float minfontsize = 10.0f;
  float eccfontscale = 3.0f;
  float poltextyfact = 1.0f;
  double gapdur = 0.1;
  double textdur = 0.25;
  int lettspernum = 20;
  float textcol = 1.0f;
  float textboxcol = 0.35f;
  float texttargcol = 1.0f;
  char fontfile[TEXTLEN] = "luxisb.ttf";
  char fontfile2[TEXTLEN] = "";
  char fontfile3[TEXTLEN] = "";
  float font2to1scale = 1.0f;
  float font3to1scale = 1.0f;
  int wordsperblock = 64;
  float minwidthfrac = 0.7f;
  float fixdurmodfrac = 1.0f;
  float xspacefrac = 0.35f;
  float linespacing = 14.0f;
  int sweepspernum = 12;
  int simulnums = 5;
  int sweepspertarg = 12;
  float rightleftcuedur = 0.0f;
  int fixwordflag = 0;
  int shuffwordsflag = 1;
  int fixdurwidthmodflag = 0;

  // Scenario experiments and codes
  char exptfile[TEXTLEN] = "sxexpt.scn";
  char palfile[TEXTLEN] = "default.pal";
  int palfileflag = 0;
  float exptfontsize = 24.0f;
  char bgimgfile[TEXTLEN] = "sxbgimg.tiff";
  int bgimgfileflag = 0;
  int cdbits[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  int bits2codeflag = -1;  // 1: -bits2code given, 0: -code2bits given
  int sxcode = -1;
  int usesxcodeflag = 0;
  int sxcode2ttlflag = 0;

  // Sound
  char sndprog[TEXTLEN] = "";
  char sndbgtrack[TEXTLEN] = "";
  std::vector<std::string> sndfilenames;  // as given (not prefixed)
  int sndfilecnt = 0;
  std::vector<float> sndsoalist;

  // Event log, triggers and digital ports
  char logfiledir[TEXTLEN] = "logs";
  int logfileflag = 0;
  int startpulse = 0;
  int trigdevnum = 0, trigportnum = 1, trigbitnum = 0;
  int codedevnum = 0, codeportnum = 2;
  int respdevnum = 0, respportnum = 3;
  // Bit roles by device, port (A-D), bit: 0 none, 1 start trigger,
  // 2 response input, 3 code output, 4 output group. The default trigger
  // bit (device 0, port B, bit 0) starts marked.
  int usbbitsstate[4][4][8] = {{{0}, {1}}};
  int bitarrayflag = 0;
  int verboselogflag = 0;
  int logrespbitsflag = 0;
  int loadaccesdevflag = 0;
  int setupusbflag = 1;
  int highisonflag = 1;
  int fivekeytriggerflag = 0;
  int apostrophetriggerflag = 0;
  int captkeytriggerflag = 0;
  int toggletriggerflag = 0;

  // Delayed-saccade task
  float targdistbright = 1.0f;
  float radjit = 0.1f;
  float thetajit = 5.0f;
  float targ1rad = 0.8f;
  float targ2rad = 0.0f;
  int retevery = 10;
  double initend = 4.25;
  double targ1beg = 0.75;
  double targ1end = 1.25;
  double targ2beg = 0.0;
  double targ2end = 0.0;
  double dimend = 4.75;
  double trialend = 5.0;
  double distbeg = 1.25;
  double distend = 4.25;
  int distnum = 6;
  int frmsdistrefresh = 1;
  float distjit = 0.1f;
  int sacdistflag = 1;

  // Air puffs and laser
  int airtubes = 12;
  int puffsperpolpos = 10;
  float puffdur = 0.1f;
  float puffjitt = 0.05f;
  int airgridrows = 4;
  int airgridcols = 3;
  std::vector<int> airtubemap;  // entry k: tube driven by output bit k
  int mapairtubes = 0;
  double delayttlport = 0.035;
  int lasposperfinger = 6;
  int lasperfinger = 2;
  float fingerstimISI = 2.5f;
  float pulsedelayfracISI = 0.95f;
  int fingercnt = 4;
  int randlineflag = 1;
  int airpuffbyteflag = 0;

  // Window, scale and saved frames
  int winxgl = 1024;
  int winygl = 768;
  float startstimscale = 1.0f;
  // Viewing geometry in cm (0: not given), for sizes in degrees.
  float viewdist = 0.0f;
  float screenwidth = 0.0f;
  float mousestartx = 999.0f;
  float mousestarty = 999.0f;
  int saveframes = 0;
  // Seconds a display frame lasts (-framerate): the step of saved-frame and
  // rehearsal runs, and the length of the frames targets are counted in.
  double framedur = 0.016666666666666666;
  double savedur = 0.016666666666666666;  // seconds between saved frames (-saveframes n rate)
  double firstframetime = 0.0;
  double rehearse = 0.0;  // seconds of a rehearsal run (log only, no window); 0: none
  char tiffoutdir[TEXTLEN] = ".";
  int fullscreenflag = 1;
  char mirror[TEXTLEN] = "none";  // -mirror: none, h, v or hv
  char monitor[TEXTLEN] = "";     // -monitor: the one monitor full screen covers ("" the whole display)
  int photodiodecorner = 0;       // -photodiode: 1-4 a corner, 0 none
  int photodiodeframes = 3;       // frames white from each onset
  int mousectrlflag = 0;
  int savetransparencyflag = 1;
  int replaceframesflag = 0;  // -replaceframes: earlier saved frames in tiffoutdir are removed first
  int drawtransparencyflag = 0;
  int drawblendtransparencyflag = 0;
  char gammafile[TEXTLEN] = "";  // -gammafile: table loaded into the display's gamma ramp
  int requiresyncflag = 0;       // -requiresync: no start unless swaps follow the expected refresh

  // Event-related polar n-back
  int numangles = 8;
  float angleoff = 0.0f;
  int polrandnback = 0;
  int eventsperlag_min = 7;
  int eventsperlag_rang = 2;
  int nbackgaps[6] = {0, 0, 0, 0, 0, 0};
  float eventlags[3] = {0.0f, 0.0f, 0.0f};
  float eventdurs[3] = {0.0f, 0.0f, 0.0f};

  // Switches that only the per-type defaults set (no option of their own)
  int polRvsLflag = 0;
  int polVvsHflag = 0;
  int ecc2condflag = 0;
  int ecc3condflag = 0;
  int usemaxrad = 0;
  int twocondperiphdriver = 0;
  float poljittmin = 12.0f;  // wedge letters jitter only in a wider wedge; degrees until the post-parse conversion

  // Library directories (set by the directory readers at start-up)
  char vistrumdir[TEXTLEN] = ".";
  char tiffdir[TEXTLEN] = "";
  char worddir[TEXTLEN] = "";
  char sndfiledir[TEXTLEN] = "";
};

extern Params par;
