// Looming pictures and barrier stimuli.
#pragma once

void drawbarrierdil(double t);
void drawbarrierrndblk(double t);
void drawimdil(double t);
