// Check palettes.
#pragma once

void makechkcols();
