// The delayed-saccade trials.
#pragma once

void drawdelsacc(double t);
int ispresaccadeper(double t);
