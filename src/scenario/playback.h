// Scenario experiments played event by event.
#pragma once

void drawexpt(double t);
