// Letters in wedges and rings, and the dot/image composites.
#pragma once

void drawpolletter(double t, float dth);
void drawpollet(double t, int nrad, int ntheta);
void drawecclet(double t, int nrad, int ntheta);
void drawhemiletdilimg(double t, int nrad, int ntheta, int ndots);
void drawpolletdilimg(double t, int nrad, int ntheta, int ndots);
void drawpolletdil(double t, int nrad, int ntheta, int ndots);
void draweccletdil(double t, int nrad, int ntheta, int ndots);
void draweccletdilimg(double t, int nrad, int ntheta, int ndots);
void draweccpoldilimg(double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots);
void drawmeriddilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdilimgaud(double t, int nrad, int ntheta, int ndots);
void drawpoldilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdilimg(double t, int nrad, int ntheta, int ndots);
void draworbletdil(double t, int nrad, int ntheta, int ndots);
void drawpolworddilimg(double t, int nrad, int ntheta, int ndots);
void draworbdilimg(double t, int nrad, int ntheta, int ndots);
