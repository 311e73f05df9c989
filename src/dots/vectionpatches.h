// Clouds of small square patches in depth (on a sphere, a plane or in a
// volume) turned about a common axis or each about its own, drawn in one
// batch per eye.
#pragma once

// Start-up: sizes the per-patch axes and the vertex and index buffers for
// n patch corners (n/4 patches, rounded up).
void preparepatches(int n);
