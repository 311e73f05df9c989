// Writers on a disk that fills up: a line or a frame reaches the file
// whole or not at all.
#include "core/eventlog.h"
#include "core/framesave.h"
#include "draw/tiffio.h"
#include "keepglobals.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A 64 KiB tmpfs with `freekb` KiB free, unmounted at the end.
struct SmallDisk {
  std::string dir;
  bool ok = false;
  explicit SmallDisk(int freekb) {
    char tmpl[] = "/tmp/vistrum-fulldisk-XXXXXX";
    dir = mkdtemp(tmpl);
    ok = mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0;
    if (!ok) return;
    std::ofstream fill(dir + "/fill", std::ios::binary);
    fill << std::string(static_cast<size_t>(64 - freekb) * 1024, 'x');
  }
  ~SmallDisk() {
    if (ok) umount2(dir.c_str(), MNT_DETACH);
    rmdir(dir.c_str());
  }
};

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(FaultFullDisk, ALineOrAFrameIsWrittenWholeOrNotAtAll) {
  const KeepGlobals keep;
  SmallDisk disk(4);
  if (!disk.ok) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  // Lines: the one that does not fit is cut back, the file ends at a newline.
  const std::string path = disk.dir + "/lines.log";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string line(99, 'a');
  const std::string whole = line + "\n";
  int written = 0;
  while (writewhole(fd, whole.c_str(), whole.size())) written++;
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
  EXPECT_GT(written, 0);
  EXPECT_EQ(slurp(path).size(), static_cast<size_t>(written) * whole.size()) << "a half line was left";
  unlink(path.c_str());

  // A frame too big for what is left: refused, and no file of it is left.
  par.savetransparencyflag = 1;
  std::vector<unsigned int> pixels(256 * 256);
  for (size_t k = 0; k < pixels.size(); k++) pixels[k] = static_cast<unsigned int>(k * 2654435761u);  // no LZW gain
  const std::string frame = disk.dir + "/f00000.tiff";
  EXPECT_FALSE(writetiffok(256, 256, pixels.data(), frame.c_str()));
  EXPECT_NE(access(frame.c_str(), F_OK), 0);
  EXPECT_NE(access((frame + ".part").c_str(), F_OK), 0);
  // One that fits is there, under its own name only.
  std::vector<unsigned int> small(8 * 8, 0xff336699u);
  EXPECT_TRUE(writetiffok(8, 8, small.data(), frame.c_str()));
  EXPECT_EQ(access(frame.c_str(), F_OK), 0);
  EXPECT_NE(access((frame + ".part").c_str(), F_OK), 0);
}
