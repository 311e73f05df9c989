// For the benchmark that sets each composite against its layers drawn
// alone: VISTRUM_BENCH_LAYERS names the layers that draw (a comma list of
// checks, dots, pictures, letters, masks); unset, all of them do. Read once.
// Each layer checks it at its entry, so a layer left out costs nothing at
// all, not even its own computation.
#pragma once

enum BenchLayer : unsigned {
  kLayerChecks = 1u,
  kLayerDots = 2u,
  kLayerPictures = 4u,
  kLayerLetters = 8u,
  kLayerMasks = 16u,
};

bool layeron(BenchLayer layer);

// For the floor benchmarks (VISTRUM_COUNT_FILL=1): the primitives the
// stimulus and the fixation furniture (mesh, grid, dots: part of a type's
// picture when its row switches them on) hand to GL and the pixels they
// fill, per picture, counted by GL queries around their drawing and printed
// when the program ends. Reading a query waits for the renderer, so a
// counting run is not a timing run.
void fillcountbegin();
void fillcountend();
