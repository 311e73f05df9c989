// Sound playback through the external player.
#pragma once

void drawaudfileonce();
void drawperiodicaudcue(double t);
void playbgtrack();
void stopsounds();
