// Picture stimuli seen through wedge and ring masks.
#pragma once

void drawpolartiffmask(double t);
void draweccentiffmask(double t);
void draweccpoltiffmask(double t);
