#include "core/startup.h"

#include "config/checks.h"
#include "config/dirreaders.h"
#include "config/help.h"
#include "config/options.h"
#include "config/typedefaults.h"
#include "core/eventlog.h"
#include "core/framesave.h"
#include "core/frametiming.h"
#include "core/gamma.h"
#include "core/installdir.h"
#include "core/mouse.h"
#include "core/photodiode.h"
#include "core/projection.h"
#include "core/runstate.h"
#include "core/signals.h"
#include "core/sound.h"
#include "core/stepping.h"
#include "core/stimulus.h"
#include "core/synccheck.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/window.h"
#include "core/xit.h"
#include "devices/dio.h"

#include <GL/gl.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

RunState run;

int readstimtype(const char* word) {
  const long n = std::strtol(word, nullptr, 10);
  // Out of int range must not wrap into a valid number.
  if (n < INT_MIN) return INT_MIN;
  if (n > INT_MAX) return INT_MAX;
  return static_cast<int>(n);
}

int firstargcheck(int argc, char** argv) {
  // Fewer than two words after the program name: nothing to run. The type
  // alone ("-s 10") runs that type with its defaults.
  if (argc < 3) return 1;
  const char* a = argv[1];
  if (std::strcmp(a, "-stimtype") && std::strcmp(a, "-s") && std::strcmp(a, "-helpstim") && std::strcmp(a, "-h"))
    return 2;
  return 0;
}

int foundcmd(const char* name) {
  const char* which = "/usr/bin/which";
  if (access(which, F_OK) != 0) {
    std::printf("vistrum: ### no %s to check %s\n", which, name);
    return 1;
  }
  // Run which directly (no shell), so the name is never interpreted.
  int fd[2];
  if (pipe(fd) != 0) {
    std::printf("vistrum: ### foundcmd: pipe/fork fail\n");
    return 1;
  }
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid < 0) {
    close(fd[0]);
    close(fd[1]);
    std::printf("vistrum: ### foundcmd: pipe/fork fail\n");
    return 1;
  }
  if (pid == 0) {
    dup2(fd[1], 1);
    close(fd[0]);
    close(fd[1]);
    execl(which, which, name, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fd[1]);
  char line[TEXTLEN] = "";
  FILE* in = fdopen(fd[0], "r");
  if (!in || !std::fgets(line, sizeof line, in)) line[0] = '\0';
  if (in) std::fclose(in);
  waitpid(pid, nullptr, 0);
  line[std::strcspn(line, "\n")] = '\0';
  const size_t n = std::strlen(line), k = std::strlen(name);
  if (n >= k && std::strcmp(line + n - k, name) == 0) return 1;
  return std::strstr(line, "aliased to") != nullptr;
}

void checkntpd() {
  FILE* p = popen("ps ax |grep 'ntpd -' |grep -v grep", "r");
  if (!p) return;
  char line[TEXTLEN];
  if (std::fgets(line, sizeof line, p)) {
    std::printf("vistrum: ### ntpd running: resets gettimeofday() stim timer\n");
    std::printf("%s", line);
    std::printf("vistrum:   ==> to suspend ntpd: su - root; service ntpd stop\n");
    std::printf("vistrum:   ==> to restart ntpd: su - root; service ntpd start\n");
  }
  pclose(p);
}

void choosesoundplayer() {
  par.sndprog[0] = '\0';
  utsname u{};
  if (uname(&u) != 0) return;
  if (std::strcmp(u.sysname, "Darwin") == 0) {
    char own[2 * TEXTLEN + 32];
    std::snprintf(own, sizeof own, "%s/bin/Darwin-%s/afplay", par.vistrumdir, u.machine);
    if (access(own, F_OK) == 0 && std::strlen(own) < sizeof par.sndprog)
      std::strcpy(par.sndprog, own);
    else if (access("/usr/bin/afplay", F_OK) == 0)
      std::strcpy(par.sndprog, "/usr/bin/afplay");
  } else if (std::strcmp(u.sysname, "Linux") == 0) {
    if (access("/usr/bin/play", F_OK) == 0) std::strcpy(par.sndprog, "/usr/bin/play");
  }
}

namespace {

void readinstalldir() {
  const char* env = std::getenv("VISTRUM_DIR");
  if (!env) {
    // An installed program finds its own library; a build tree keeps the
    // current folder.
    const std::string own = installedvistrumdir(ownexepath());
    if (!own.empty() && own.size() < sizeof par.vistrumdir) {
      std::strcpy(par.vistrumdir, own.c_str());
      std::printf("vistrum: env var VISTRUM_DIR undef'd: using installed library %s\n", par.vistrumdir);
      return;
    }
    std::printf("vistrum: env var VISTRUM_DIR undef'd: assume pwd\n");
    return;
  }
  if (std::strlen(env) >= sizeof par.vistrumdir) fatal("vistrum: ### VISTRUM_DIR longer than %d characters\n", TEXTLEN - 1);
  // A mistyped installation folder would surface later as a missing font
  // or picture, far from its cause.
  struct stat st {};
  if (stat(env, &st) != 0) fatal("vistrum: ### VISTRUM_DIR %s not found (%s)\n", env, std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) fatal("vistrum: ### VISTRUM_DIR %s not a dir\n", env);
  std::strcpy(par.vistrumdir, env);
}

void checksplashdir() {
  char splash[TEXTLEN + 32];
  std::snprintf(splash, sizeof splash, "%s/lib/imagefiles/splash", par.vistrumdir);
  DIR* d = opendir(splash);
  if (d) {
    closedir(d);
    return;
  }
  std::printf("vistrum: ### splashdir %s not found\n", splash);
  if (par.finaltiff[0]) fatal("vistrum: ### won't be able to load final tiff: %s\n", par.finaltiff);
}

void announcekeytriggers() {
  if (!run.somekeytriggerflag) return;
  run.somekeytriggercnt = par.startpulse;
  run.somekeytriggerstart = par.startpulse;
  if (par.startpulse > 0) par.startpulse = -1;  // wait on the "Ready" screen
  if (par.apostrophetriggerflag) std::printf("vistrum: ### -apostrophetriggerflag: apostrophe-key triggers\n");
  if (par.captkeytriggerflag) std::printf("vistrum: ### -captkeytriggerflag: cap T-key triggers\n");
  if (par.fivekeytriggerflag) std::printf("vistrum: ### -fivekeytriggerflag: 5-key triggers, logged after\n");
}

void checkwindowsize() {
  // The 120 Hz mode doubles one side when the window opens.
  const long dw = par.doubleframerateflag && !par.packstereoupdownflag ? 2L * par.winxgl : par.winxgl;
  const long dh = par.doubleframerateflag && par.packstereoupdownflag ? 2L * par.winygl : par.winygl;
  if (windowsizeok(par.winxgl, par.winygl) && windowsizeok(dw, dh)) return;
  fatal("vistrum: ### bad window size %d x %d (-winxy: 1 to %d pixels each)\n", par.winxgl, par.winygl,
        MAXWINSIDE);
}

void openwindow() {
  const Extents e = windowextents(par.winxgl, par.winygl);  // before any 120 Hz doubling
  dsp.iwinxgl = e.iwinxgl;
  dsp.iwinygl = e.iwinygl;
  // A rehearsal steps the run for its log alone, in a window's units but
  // with no window: its drawing calls go nowhere, as fast as they can.
  if (par.rehearse > 0.0) return;
  if (par.doubleframerateflag) setupdoubleframerate();
  if (stimneeds(par.stimtype, kStencil)) dsp.stencilflag = 1;
  openglxwindow("vistrum", par.winxgl, par.winygl, par.fullscreenflag, dsp.stencilflag);
  if (par.fullscreenflag) {
    blankcursor(dsp.bgwindow);
    blankcursor(dsp.glxwindow);
  }
  setprojection();
  setstartmouse();
}

// Whether the command line asks for a rehearsal (read before the options
// are parsed, to leave out the display checks).
bool rehearsalasked(int argc, char** argv) {
  for (int k = 3; k + 1 < argc; k++)
    if (!std::strcmp(argv[k], "-rehearse")) return true;
  return false;
}

}  // namespace

void vistrummain(int argc, char** argv) {
  // Messages reach a file or pipe line by line, so a run that is killed or
  // crashes still shows everything it printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  switch (firstargcheck(argc, argv)) {
    case 1:
      // A first try without a type (or with a lone "-help") shows where to
      // look next; the status stays 0.
      shortusage();
      std::exit(0);
    case 2:
      std::printf("vistrum: ### first arg not \"-stimtype\" (\"-s\") or \"-helpstim\" (\"-h\")\n");
      xit(1);
    default:
      break;
  }
  par.stimtype = readstimtype(argv[2]);
  if (!stimulushooks().validtype(par.stimtype)) fatal("vistrum: ### no -stimtype %d\n", par.stimtype);
  readinstalldir();
  if (!std::strcmp(argv[1], "-helpstim") || !std::strcmp(argv[1], "-h")) xit(helpstim() ? 0 : 1);
  choosesoundplayer();
  // A rehearsal opens no window: it needs no display at all.
  if (!rehearsalasked(argc, argv) && !foundcmd("xdpyinfo")) fatal("vistrum: ### xdpyinfo not on $path (add /usr/X11R6/bin or /usr/X11/bin)\n");
  setdefaultlibdirs();
  std::printf("vistrum: default initialization tiff/word/snd library paths done\n");

  applytypedefaults(par.stimtype);
  parseoptions(3, argc, argv);
  postparsechecks();  // includes the choice of trigger key
  checkwindowsize();
  checkmirror();
  checkphotodiode();
  readgammafile();  // a bad table is refused before anyone waits on the window
  run.argc = argc;  // for the event-log header
  run.argv = argv;
  catchendsignals();
  openlog();

  const StimulusHooks& stim = stimulushooks();
  stim.loadfonts();
  checksplashdir();
  stim.prepare();
  checksoundfiles();

  // F6 and F5 switch the canal vection's stereo and outlines from here on.
  run.F6keytoggleflag = par.stereoflag;
  run.F5keytoggleflag = par.quadlinesflag;
  // A wedge round a wandering centre on an orbit draws the screen-centre
  // mark itself.
  run.skipfixationflag =
      stimneeds(par.stimtype, kOwnFixation) || (stimneeds(par.stimtype, kWanderCentre) && par.orbrad != 0.0f);
  if (!par.fullscreenflag) par.mousectrlflag = 0;
  stim.preparepalette();

  setupdio();
  setupACCESdevs();
  stim.checkoutputs();
  announcekeytriggers();
  checkntpd();

  if (par.saveframes) prepareframesave();
  initframetiming(600000);  // about 2.7 h at 60 Hz; older intervals are overwritten
  openwindow();
  applygamma(dsp.display, dsp.glxwindow);
  // The letter and number types draw scaled text in the first font: its
  // textured copy needs the GL context, and is opened before the run, not
  // in the first frame.
  if (dsp.display) stim.windowready();

  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.0f);
  srandom(static_cast<unsigned>(par.srseed));
  applystartscale();

  checkdisplaysync();
  markrunbegun();  // from "Ready" on, the log is the run's and is kept
  if (steppedrun())
    beginsteppedrun();
  else
    startrun();
  frameloop();
}
