#include "core/startup.h"

int main(int argc, char** argv) { vistrummain(argc, argv); }
