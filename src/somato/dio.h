// Digital I/O roles and the output-bit layer.
#pragma once

void setupdio();
