// The stimulus centre: pointer and orbit translations around a drawing.
#pragma once

// Where a drawing is centred: on the run's orbit (when -orbrad asks for
// one) or at the screen centre. The pointer moves both alike.
enum class Centre { orbit, screen };

// Pushes and applies the mouse (full screen) and orbit translations for
// time t, as the run asks; returns how many matrices were pushed.
int pushstimcentre(double t, Centre c = Centre::orbit);
void popstimcentre(int pushed);
