#include "hosts/sdl/present_log.h"

#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdlib>

namespace orv::platform::sdl {

PresentLog::PresentLog() {
  const char* path = std::getenv("ORV_PRESENT_TIMES");
  if (path == nullptr || *path == '\0')
    return;
  file_ = std::fopen(path, "w");
  if (file_ == nullptr)
    std::fprintf(stderr, "cannot write frame times to %s\n", path);
}

PresentLog::~PresentLog() {
  if (file_ != nullptr)
    std::fclose(file_);
}

void PresentLog::PresentingBy(const char* path) {
  if (file_ == nullptr)
    return;
  std::fprintf(file_, "# present %s\n", path);
  std::fflush(file_);
}

void PresentLog::FrameShown(std::size_t bytes) {
  if (file_ == nullptr)
    return;
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  std::fprintf(file_, "%" PRId64 " %zu\n", static_cast<std::int64_t>(us), bytes);
  // Written at once, so that a reader sees each frame while the program runs.
  std::fflush(file_);
}

}  // namespace orv::platform::sdl
