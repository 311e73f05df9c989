// Word, number and font stimuli.
#pragma once

void drawpolword(double t);
void drawwordshemiaudrndblk(double t);
void drawnumdil(double t);
void drawwordspacelett(double t, int shuffleflag);
void drawwordsfont0font1(double t, int shuffleflag);
void drawwordsfontoffrndblk(double t);
