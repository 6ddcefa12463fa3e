// Gives memory its pages ahead of use, on a thread of its own: drawing into a
// fresh window surface (megabytes of shared memory) otherwise stops at every page for the
// kernel to provide it. Safe on memory that goes away meanwhile: the kernel only refuses.
#pragma once

#include <cstddef>
#include <thread>

namespace orv::platform::sdl {

class PagePrefault {
 public:
  PagePrefault() = default;
  PagePrefault(const PagePrefault&) = delete;
  PagePrefault& operator=(const PagePrefault&) = delete;
  ~PagePrefault() { Wait(); }

  // Starts providing writable pages for [data, data + bytes), after the one started
  // before is done.
  void Start(void* data, std::size_t bytes);
  // Returns once the pages asked for are there (or the kernel refused them).
  void Wait();

 private:
  std::thread worker_;
};

}  // namespace orv::platform::sdl
