// The serial-port box's settings, read from VISTRUM_DIO=serial:<...>.
#pragma once

#include <string>

struct SerialConfig {
  std::string device;
  long baud = 115200;
  int pulse = 0x35;                          // "5"
  int buttons[8] = {0x31, 0x32, 0x33, 0x34};  // "1" to "4"
  int buttoncnt = 4;
  bool codes = false;  // write the code port's changes to the device
};

// Reads "<device>[,<baud>][,pulse=<byte>][,buttons=<b1>:<b2>...][,codes]";
// an unknown speed or option, a value that is no byte, or one byte mapped
// twice ends the run with a message.
SerialConfig parseserialconfig(const char* arg);
