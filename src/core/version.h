// The program's version: the usage text's last line, the manual pages, the
// events table's SoftwareVersion and the Debian package all take it from
// here (cmake/install.cmake reads the string below).
#pragma once

#define VISTRUM_VERSION "16ma"
