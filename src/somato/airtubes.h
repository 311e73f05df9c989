// Air-tube checks made before the run.
#pragma once

void checkairtubes();
