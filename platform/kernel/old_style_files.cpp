// _lopen, _lread and _lclose over POSIX files. Handles are small numbers of our own,
// never the descriptors themselves, so a stale or made-up handle is refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "core/open_call.h"
#include "core/reset.h"
#include "win/kernel.h"

using orv::platform::OpenCall;

namespace {

constexpr UINT kReadError = static_cast<UINT>(HFILE_ERROR);

struct OpenFiles {
  std::map<HFILE, int> descriptors;
  HFILE next_handle = 3;
};

OpenFiles& Files() {
  static OpenFiles files;
  return files;
}

void CloseAllFiles() {
  for (const auto& [handle, descriptor] : Files().descriptors)
    ::close(descriptor);
  Files() = OpenFiles();
}

const orv::platform::ResetHook kReset(orv::platform::ResetOrder::kKernel, &CloseAllFiles);

int DescriptorOf(HFILE file) {
  auto it = Files().descriptors.find(file);
  return it == Files().descriptors.end() ? -1 : it->second;
}

}  // namespace

HFILE _lopen(LPCSTR path, int mode) {
  if (auto early = OpenCall(HFILE_ERROR, "_lopen", path, mode))
    return *early;
  // Only reading is offered (there is no _lwrite); the sharing bits above the access
  // mode have no meaning here.
  if (path == nullptr || (mode & 3) != OF_READ)
    return HFILE_ERROR;
  int descriptor = ::open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0)
    return HFILE_ERROR;
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(descriptor);  // directories and devices do not open as files on Windows
    return HFILE_ERROR;
  }
  OpenFiles& files = Files();
  HFILE handle = files.next_handle++;
  files.descriptors[handle] = descriptor;
  return handle;
}

UINT _lread(HFILE file, LPVOID buffer, UINT count) {
  if (auto early = OpenCall(kReadError, "_lread", file, buffer, count))
    return *early;
  int descriptor = DescriptorOf(file);
  if (descriptor < 0 || (buffer == nullptr && count > 0))
    return kReadError;
  auto* bytes = static_cast<char*>(buffer);
  UINT total = 0;
  // A short count means the end of the file, not an interrupted read.
  while (total < count) {
    ssize_t got = ::read(descriptor, bytes + total, count - total);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return kReadError;
    if (got == 0)
      break;
    total += static_cast<UINT>(got);
  }
  return total;
}

HFILE _lclose(HFILE file) {
  if (auto early = OpenCall(HFILE_ERROR, "_lclose", file))
    return *early;
  auto it = Files().descriptors.find(file);
  if (it == Files().descriptors.end())
    return HFILE_ERROR;
  ::close(it->second);
  Files().descriptors.erase(it);
  return 0;
}
