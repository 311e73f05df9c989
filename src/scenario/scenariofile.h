// Scenario files read before the run.
#pragma once

void loadscenario();
