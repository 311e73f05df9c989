// The sound launcher: a small helper process, forked at start-up before the
// window opens, that starts the players (directly, with an argument vector),
// stops them and reaps them. The frame loop only writes a line to it, so a
// frame that starts a sound costs microseconds, not a process start.
#pragma once

// Forks the launcher for `player` once; later calls do nothing.
void startsoundlauncher(const char* player);
// Start a player for `path` / stop (and reap) every player started so far.
// Never block; requests keep their order.
void launcherplay(const char* path);
void launcherstopall();
