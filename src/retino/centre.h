// The stimulus centre: pointer and orbit translations around a drawing.
#pragma once

// Pushes and applies the mouse (full screen) and orbit translations for
// time t, as the run asks; returns how many matrices were pushed.
int pushstimcentre(double t);
void popstimcentre(int pushed);
