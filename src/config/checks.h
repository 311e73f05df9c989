// Post-parse conversions and cross-checks of the run parameters.
#pragma once

void postparsechecks();
