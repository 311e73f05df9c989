// Paragraph reading blocks.
#pragma once

void drawparafontoffrndblk(double t);
