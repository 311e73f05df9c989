// A digital I/O backend: what the device layer (dio*.cpp) needs from a
// kind of box. Each backend is one file defining one DioBackend; a backend
// for real USB boxes is one more such file and one more entry in the list
// in diodevice.cpp.
//
// Ports are addressed as (box 0..3, port 0..3 = A..D); a port is either an
// input or an output as a whole, as on the 32-bit boxes.
#pragma once

struct DioBackend {
  const char* name;  // the word chosen in VISTRUM_DIO ("sim")
  // Number of boxes present (without opening them), for the start-up checks.
  int (*probe)(const char* arg);
  // Finds and opens the boxes; `arg` is the text after "name:" (may be "").
  // Returns the number of boxes opened, prints its own messages and ends
  // the run through fatal() when the boxes cannot be used.
  int (*open)(const char* arg);
  // Makes a port an output (1) or an input (0).
  void (*setdirection)(int box, int port, int output);
  // Writes a whole output port. `frametime` is the t of the frame being
  // drawn and `clock` the timer reading (both only for records).
  void (*writeport)(int box, int port, unsigned char value, double frametime, double clock);
  // Next input change, oldest first: returns 1 and fills box, port and the
  // port's new value, 0 when nothing is pending. Never blocks. A backend
  // that can only sample ports reports a change when a sample differs.
  int (*nextinput)(int* box, int* port, unsigned char* value);
  // Switches everything off and releases the boxes (also at exit).
  void (*close)();
  // A note for whoever watches the box (may be nullptr): "wait <n>" when
  // the run starts waiting for n trigger pulses.
  void (*note)(const char* text);
  // Inputs are single bytes (a serial box): each trigger pulse is logged as
  // it arrives and each response button as the key of its number.
  bool bytes;
  // Why the box has no output bits for the bit group (nullptr: it has
  // them); a box that only passes code bytes on says so here.
  const char* nooutputbits = nullptr;
  // What follows "name:" in VISTRUM_DIO, for messages and the manual ("<dir>").
  const char* argform = "";
};

// Input changes a backend has taken in but not yet handed out, oldest
// first (a read may bring several). Readers take in no more than room()
// allows and leave the rest waiting in the device: nothing is lost.
class DioInputQueue {
 public:
  void push(int box, int port, unsigned char value) {
    if (count_ == kSize) return;  // unreached: readers keep within room()
    ring_[(first_ + count_++) % kSize] = {box, port, value};
  }
  int room() const { return kSize - count_; }
  bool pop(int* box, int* port, unsigned char* value) {
    if (count_ == 0) return false;
    const Change& c = ring_[first_];
    *box = c.box, *port = c.port, *value = c.value;
    first_ = (first_ + 1) % kSize;
    count_--;
    return true;
  }
  bool empty() const { return count_ == 0; }

 private:
  static constexpr int kSize = 512;
  struct Change {
    int box, port;
    unsigned char value;
  };
  Change ring_[kSize];
  int first_ = 0, count_ = 0;
};

// The simulated box (diosim.cpp).
extern const DioBackend diosimbackend;
// A serial-port trigger and response box (dioserial.cpp).
extern const DioBackend dioserialbackend;
