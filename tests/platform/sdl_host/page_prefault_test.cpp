// Pages asked for are there afterwards, without being touched.
#include "hosts/sdl/page_prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

using orv::platform::sdl::PagePrefault;

const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

// Which pages of a mapping are resident, one flag each.
std::vector<bool> Resident(void* mapping, std::size_t pages) {
  std::vector<unsigned char> flags(pages);
  EXPECT_EQ(mincore(mapping, pages * kPage, flags.data()), 0);
  std::vector<bool> resident;
  for (unsigned char flag : flags)
    resident.push_back((flag & 1) != 0);
  return resident;
}

// Whether this kernel populates pages on request (Linux 5.14 and later).
bool KernelPopulates() {
#if defined(MADV_POPULATE_WRITE)
  void* probe = mmap(nullptr, kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  const bool populates = probe != MAP_FAILED && madvise(probe, kPage, MADV_POPULATE_WRITE) == 0;
  if (probe != MAP_FAILED)
    munmap(probe, kPage);
  return populates;
#else
  return false;
#endif
}

TEST(PagePrefaultTest, GivesTheRangeItsPagesAndNoOthers) {
  if (!KernelPopulates())
    GTEST_SKIP() << "this kernel does not populate pages on request";
  constexpr std::size_t kPages = 16;
  void* mapping =
      mmap(nullptr, kPages * kPage, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapping, MAP_FAILED);
  auto* bytes = static_cast<std::uint8_t*>(mapping);
  {
    // From the middle of page 4 to the middle of page 11: pages 4 to 11.
    const PagePrefault prefault(bytes + 4 * kPage + 100, 7 * kPage);
  }
  const std::vector<bool> resident = Resident(mapping, kPages);
  for (std::size_t page = 0; page < kPages; ++page)
    EXPECT_EQ(resident[page], page >= 4 && page <= 11) << "page " << page;
  EXPECT_EQ(bytes[5 * kPage], 0) << "the pages are provided, not written";
  munmap(mapping, kPages * kPage);
}

}  // namespace
