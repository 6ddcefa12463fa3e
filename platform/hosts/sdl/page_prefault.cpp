#include "hosts/sdl/page_prefault.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace orv::platform::sdl {

PagePrefault::PagePrefault(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  if (data == nullptr || bytes == 0)
    return;
  // madvise wants the range to start on a page.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
  const std::size_t length = reinterpret_cast<std::uintptr_t>(data) + bytes - begin;
  worker_ = std::thread([begin, length] {
    // One call faults every page in; older kernels (before 5.14) answer EINVAL, and the
    // pages then come at first touch as before.
    madvise(reinterpret_cast<void*>(begin), length, MADV_POPULATE_WRITE);
  });
#else
  (void)data;
  (void)bytes;
#endif
}

PagePrefault::~PagePrefault() {
  if (worker_.joinable())
    worker_.join();
}

}  // namespace orv::platform::sdl
