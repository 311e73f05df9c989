// Shared by the floor programs (squares.cpp, fill.cpp): a double-buffered
// GLX window with pixel coordinates (origin lower left), the frame timing
// loop, and GL's own count of what a frame drew.
#pragma once

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <chrono>

struct BenchWindow {
  Display* d = nullptr;
  Window win = 0;
  GLXContext ctx = nullptr;
  int w = 1024, h = 768;

  bool open(int width, int height) {
    w = width, h = height;
    d = XOpenDisplay(nullptr);
    if (!d) return false;
    int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    XVisualInfo* vi = glXChooseVisual(d, DefaultScreen(d), attrs);
    if (!vi) return false;
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(d, RootWindow(d, vi->screen), vi->visual, AllocNone);
    win = XCreateWindow(d, RootWindow(d, vi->screen), 0, 0, w, h, 0, vi->depth, InputOutput, vi->visual, CWColormap,
                        &swa);
    XMapWindow(d, win);
    ctx = glXCreateContext(d, vi, nullptr, True);
    glXMakeCurrent(d, win, ctx);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
  }

  // Mean ms per frame of `frame` (which swaps) over `seconds`, after a
  // second of warm-up; the frames drawn in *frames.
  template <class F>
  double time(F frame, double seconds, long* frames) {
    using clock = std::chrono::steady_clock;
    for (auto start = clock::now(); std::chrono::duration<double>(clock::now() - start).count() < 1.0;) frame();
    glFinish();
    long n = 0;
    const auto start = clock::now();
    double elapsed = 0.0;
    while (elapsed < seconds) {
      frame();
      n++;
      elapsed = std::chrono::duration<double>(clock::now() - start).count();
    }
    glFinish();
    elapsed = std::chrono::duration<double>(clock::now() - start).count();
    *frames = n;
    return 1000.0 * elapsed / static_cast<double>(n);
  }

  // The primitives and pixels GL counts for one call of `draw`, as the
  // program counts them with VISTRUM_COUNT_FILL=1.
  template <class F>
  void count(F draw, unsigned* primitives, unsigned* pixels) {
    GLuint q[2];
    glGenQueries(2, q);
    glBeginQuery(GL_PRIMITIVES_GENERATED, q[0]);
    glBeginQuery(GL_SAMPLES_PASSED, q[1]);
    draw();
    glEndQuery(GL_SAMPLES_PASSED);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(q[0], GL_QUERY_RESULT, primitives);
    glGetQueryObjectuiv(q[1], GL_QUERY_RESULT, pixels);
    glDeleteQueries(2, q);
  }

  void close() {
    glXMakeCurrent(d, None, nullptr);
    glXDestroyContext(d, ctx);
    XCloseDisplay(d);
  }
};
