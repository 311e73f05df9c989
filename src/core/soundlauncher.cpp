#include "core/soundlauncher.h"

#include "core/sound.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

int sock = -1;  // our end of the launcher's socket
bool reported = false;

// --- the launcher process ----------------------------------------------

constexpr int MAXPLAYERS = 64;
pid_t players[MAXPLAYERS];
int playercnt = 0;

void forget(pid_t pid) {
  for (int k = 0; k < playercnt; k++)
    if (players[k] == pid) {
      players[k] = players[--playercnt];
      return;
    }
}

void reapall() {
  pid_t pid;
  while ((pid = waitpid(-1, nullptr, WNOHANG)) > 0) forget(pid);
}

// Each player leads its own process group, so that a player that is a
// script takes its children along when it is stopped.
void stopall() {
  for (int k = 0; k < playercnt; k++) kill(-players[k], SIGTERM);
  for (int ms = 0; ms < 300 && playercnt > 0; ms++) {
    reapall();
    if (playercnt > 0) usleep(1000);
  }
  for (int k = 0; k < playercnt; k++) kill(-players[k], SIGKILL);
  while (playercnt > 0) {
    const pid_t pid = waitpid(-1, nullptr, 0);
    if (pid < 0) break;
    forget(pid);
  }
  playercnt = 0;
}

void play(const char* player, const char* path) {
  reapall();
  if (playercnt == MAXPLAYERS) {  // far too many overlapping sounds: the oldest goes
    kill(-players[0], SIGKILL);
    waitpid(players[0], nullptr, 0);
    forget(players[0]);
  }
  const char* argv[4];
  soundargv(player, path, argv);
  posix_spawn_file_actions_t fa;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&fa);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid = -1;
  const int err = posix_spawn(&pid, player, &fa, &attr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&fa);
  posix_spawnattr_destroy(&attr);
  if (err != 0)
    std::printf("vistrum: ### can't start sound player %s: %s\n", player, std::strerror(err));
  else
    players[playercnt++] = pid;
  std::fflush(stdout);
}

[[noreturn]] void launcherloop(int fd, const char* player) {
  char line[4096];
  size_t len = 0;
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 200);  // players that ended are reaped at least this often
    reapall();
    if (!(p.revents & (POLLIN | POLLHUP))) continue;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {  // the run has ended
      stopall();
      _exit(0);
    }
    for (ssize_t k = 0; k < n; k++) {
      if (buf[k] != '\n' && len < sizeof line - 1) {
        line[len++] = buf[k];
        continue;
      }
      line[len] = '\0';
      len = 0;
      if (line[0] == 'P' && line[1] == ' ') play(player, line + 2);
      if (line[0] == 'K') stopall();
    }
  }
}

void send(const char* msg) {
  if (sock < 0) return;
  const size_t n = std::strlen(msg);
  if (::send(sock, msg, n, MSG_NOSIGNAL | MSG_DONTWAIT) == static_cast<ssize_t>(n) || reported) return;
  std::printf("vistrum: ### sound launcher not reachable: %s\n", std::strerror(errno));
  reported = true;
}

}  // namespace

void startsoundlauncher(const char* player) {
  if (sock >= 0 || !player[0]) return;
  int sv[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
    std::printf("vistrum: ### can't start the sound launcher: %s\n", std::strerror(errno));
    return;
  }
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid < 0) {
    std::printf("vistrum: ### can't start the sound launcher: %s\n", std::strerror(errno));
    close(sv[0]);
    close(sv[1]);
    return;
  }
  if (pid == 0) {
    // Nothing of the run (log file, window-system connection) stays open here.
    for (int fd = 3; fd < 1024; fd++)
      if (fd != sv[1]) close(fd);
    signal(SIGINT, SIG_IGN);  // a Ctrl-C at the terminal is for the run, which then closes the socket
    launcherloop(sv[1], player);
  }
  close(sv[1]);
  sock = sv[0];
}

void launcherplay(const char* path) {
  char msg[4096];
  std::snprintf(msg, sizeof msg, "P %s\n", path);
  send(msg);
}

void launcherstopall() { send("K\n"); }
