// Fixation marks and screen furniture.
#pragma once

void drawfixation(float x, float y, float z, float bright, double t);
void drawfixmesh(float bright);
void drawfixgrid(float bright);
void drawfixdots(float bright);
