#include "core/installdir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace {

bool isdir(const std::string& p) {
  struct stat st {};
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parentof(const std::string& p) {
  const size_t slash = p.find_last_of('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

}  // namespace

std::string installedvistrumdir(const std::string& exepath) {
  const std::string bindir = parentof(exepath);
  if (bindir.empty() || bindir.size() < 4 || bindir.compare(bindir.size() - 4, 4, "/bin") != 0) return "";
  const std::string prefix = bindir.substr(0, bindir.size() - 4);
  const std::string dir = prefix + "/share/vistrum";
  return isdir(dir + "/lib/help") ? dir : "";
}

std::string ownexepath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  buf[n] = '\0';
  return buf;
}
