// Word lists loaded before the run.
#pragma once

void loadwordlists();
