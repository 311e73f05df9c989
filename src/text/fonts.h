// Font slots and text drawing.
#pragma once

void loadfonts();
