// Saved frames and TIFF writing: the frame saver, the file writer and
// libtiff's error messages (the picture reader counts them too).
#pragma once

// Installs the handler that prints libtiff's messages and counts them, once;
// the count since the last reset.
void catchtifferrors();
void resettifferrors();
int tifferrorcount();

// Turns a picture upside down in place (GL rows run bottom first, TIFF rows top first).
void yflipraster(int w, int h, unsigned int* pixels);
// Writes a bottom-row-first RGBA buffer (modified in place) as an LZW TIFF.
void writetiff(int w, int h, unsigned int* pixels, const char* path);
// The same, returning false instead of ending the run when it fails.
bool writetiffok(int w, int h, unsigned int* pixels, const char* path);
// Reads the finished frame back from the drawing buffer (call before the swap).
void grabframe();
// Writes the frame last grabbed as frame number n (on the writer thread).
void frame2tiff(int n);
// Sizes the read-back buffers and starts the writer, before the first frame.
void prepareframesave();
// Waits until every handed-over frame is written; ends the run (status 1)
// when one could not be.
void finishframesaves();
// Ends frame saving: the writers finish what they were handed (a frame
// that fails is removed); false, after its message, when a frame failed.
bool stopframesaves();
// A saved-frame file name (fNNNNN.tiff, or one being written: .tiff.part).
bool isframefilename(const char* name);
// Counts the saved-frame files in `dir`; with `remove` also removes them
// (ending the run when one cannot be removed).
int oldframes(const char* dir, bool remove);
// The saved-frame file name for frame n.
void framefilename(char* buf, int size, const char* dir, int n);
// A usable -saveframes request: frames to save and a finite positive frame duration.
bool saveframesok(int frames, double framedur);
// Set-up checks of -saveframes and -tiffoutdir (exits with its message when unusable).
void checktiffoutdir();
