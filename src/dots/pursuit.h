// Wobbling, wandering and pursuit stimuli.
#pragma once

void drawrealmotpolimgs(double t);
void drawpursuepassimgs(double t);
void drawpursuepasscirc(double t, int ndots);
void drawpoldots(double t, int ndots);
void drawwandercircdots(double t, int ndots);
