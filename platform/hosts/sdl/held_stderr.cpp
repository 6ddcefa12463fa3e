#include "hosts/sdl/held_stderr.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace orv::platform::sdl {

HeldStandardError::HeldStandardError() {
  std::FILE* file = std::tmpfile();
  if (file == nullptr)
    return;
  held_ = dup(fileno(file));
  std::fclose(file);
  if (held_ < 0)
    return;
  std::fflush(stderr);
  saved_ = dup(STDERR_FILENO);
  if (saved_ < 0 || dup2(held_, STDERR_FILENO) < 0) {
    if (saved_ >= 0)
      close(saved_);
    close(held_);
    saved_ = held_ = -1;
  }
}

HeldStandardError::~HeldStandardError() {
  Release();
}

std::string HeldStandardError::Release() {
  std::string text;
  if (saved_ < 0)
    return text;
  std::fflush(stderr);
  dup2(saved_, STDERR_FILENO);
  close(saved_);
  saved_ = -1;
  if (lseek(held_, 0, SEEK_SET) == 0) {
    char buffer[4096];
    ssize_t count;
    while ((count = read(held_, buffer, sizeof buffer)) > 0)
      text.append(buffer, static_cast<std::size_t>(count));
  }
  close(held_);
  held_ = -1;
  return text;
}

std::string LastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos)
    return {};
  const std::size_t newline = text.rfind('\n', end);
  const std::size_t begin = newline == std::string::npos ? 0 : newline + 1;
  return text.substr(begin, end + 1 - begin);
}

}  // namespace orv::platform::sdl
