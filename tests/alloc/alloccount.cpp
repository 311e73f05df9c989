// Counting allocator for a test build of the program. The link wraps the heap
// calls of the program's own objects (not those inside system libraries, GL or
// X), so the count is what vistrum itself allocates. The count is printed as
// saved frames 100 and 400 are written (the link wraps the frame writer too)
// and at exit: the difference between the two frames is what the frame loop
// allocated in 300 frames.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> allocations{0};

void report() { std::fprintf(stderr, "vistrum: heap allocations: %lld\n", allocations.load()); }

struct Reporter {
  Reporter() { std::atexit(report); }
} reporter;

}  // namespace

extern "C" {
void* __real_malloc(size_t);
void* __real_calloc(size_t, size_t);
void* __real_realloc(void*, size_t);
void* __real__Znwm(size_t);
void* __real__Znam(size_t);
void __real__Z10frame2tiffi(int);

void __wrap__Z10frame2tiffi(int n) {
  if (n == 100 || n == 400) std::fprintf(stderr, "vistrum: heap allocations at frame %d: %lld\n", n, allocations.load());
  __real__Z10frame2tiffi(n);
}

void* __wrap_malloc(size_t n) {
  allocations++;
  return __real_malloc(n);
}
void* __wrap_calloc(size_t n, size_t s) {
  allocations++;
  return __real_calloc(n, s);
}
void* __wrap_realloc(void* p, size_t n) {
  allocations++;
  return __real_realloc(p, n);
}
void* __wrap__Znwm(size_t n) {
  allocations++;
  return __real__Znwm(n);
}
void* __wrap__Znam(size_t n) {
  allocations++;
  return __real__Znam(n);
}
}
