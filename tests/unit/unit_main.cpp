// Unit-test entry: library files are found under the source folder even when
// the binary is run by hand rather than through ctest.
#include <gtest/gtest.h>

#include "stimuli/catalogue.h"

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("VISTRUM_DIR", VISTRUM_SOURCE_DIR, 0);
  installstimuli();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
