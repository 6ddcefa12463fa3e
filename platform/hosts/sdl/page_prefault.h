// Gives memory its pages ahead of use, on a thread of its own, for as long as the object
// lives: drawing into a fresh window surface (megabytes of shared memory) otherwise stops
// at every page for the kernel to provide it. Safe on memory that goes away meanwhile:
// the kernel only refuses.
#pragma once

#include <cstddef>
#include <thread>

namespace orv::platform::sdl {

class PagePrefault {
 public:
  // Starts providing writable pages for [data, data + bytes).
  PagePrefault(void* data, std::size_t bytes);
  // Returns once the pages are there (or the kernel refused them).
  ~PagePrefault();
  PagePrefault(const PagePrefault&) = delete;
  PagePrefault& operator=(const PagePrefault&) = delete;

 private:
  std::thread worker_;
};

}  // namespace orv::platform::sdl
