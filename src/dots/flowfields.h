// Random-dot flow fields, glass patterns and Brownian wedges.
#pragma once

void drawrotdil0stereo(double t, int ndots, float disp, int cond, int flag);
void drawrotdil0(double t, int ndots);
void drawrotdil1(double t, int ndots);
void drawrotdil2(double t, int ndots);
void drawpoldotbg(double t, int ndots);
void drawglass1(double t, int ndots);
void draworbrotdil(double t, int ndots);
