// Multiple, shifted and random wedge and ring variants.
#pragma once

void drawwanderpol(double t, int nrad, int ntheta, int lettflag);
void drawpolar4shift(double t, int nrad, int ntheta);
void drawpolarjitt(double t, int nrad, int ntheta, int lettflag);
void drawpol2dia(double t, int nrad, int ntheta);
void drawpol2opp(double t, int nrad, int ntheta);
void drawpol2opplet(double t, int nrad, int ntheta);
void drawpolrand(double t, int nrad, int ntheta);
void drawlcms1(double t);
void drawmultifreqpolar(double t, int nrad, int ntheta);
void draweccpol(double t, int nrad, int ntheta, int nrad2, int ntheta2);
void draweccens(double t, int nrad, int ntheta, int cnt, int lettflag, int dotsflag);
void drawpolars(double t, int nrad, int ntheta, int cnt, int lettflag, int dotsflag);
