// Per-type defaults, applied before the options are parsed.
#pragma once

void applytypedefaults(int stimtype);
