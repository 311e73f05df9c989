#include "config/help.h"

#include "config/options.h"

#include <cerrno>

void usage() {
  std::printf("\nuse: vistrum -stimtype/-s <num> [opts ...]\n");
  std::printf("     vistrum -helpstim/-h <num>\n\n");
  std::printf(" [N.B.: 1st option must be -stimtype/-s or -helpstim/-h]\n\n");
  std::printf(" Options:\n");
  printoptionusage(stdout);
}

void helpstim() {
  char path[2 * TEXTLEN + 32];
  std::snprintf(path, sizeof path, "%s/lib/help/s%d", par.vistrumdir, par.stimtype);
  // Read and copy the file ourselves: no shell sees the path.
  FILE* fp = std::fopen(path, "r");
  if (!fp) {
    std::printf("vistrum: ### helpfile %s not found\n", path);
    return;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) std::fwrite(buf, 1, n, stdout);
  std::fclose(fp);
}

void printdefs(int stimtype) {
  std::printf("\n default values for stimtype=%d (not all relevant):\n\n", stimtype);
  printoptiondefaults(stdout);
  std::printf("\n");
}
