// Dot field arrays prepared before the run.
#pragma once

void preparedots();
