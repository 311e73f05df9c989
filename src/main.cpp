#include "core/startup.h"
#include "stimuli/catalogue.h"

int main(int argc, char** argv) {
  installstimuli();  // the run reads the catalogue's rows and calls from here on
  vistrummain(argc, argv);
}
