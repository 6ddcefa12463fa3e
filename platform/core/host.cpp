#include "core/host.h"

#include <cstdio>
#include <cstdlib>

namespace orv::platform {
namespace {
Host* installed_host = nullptr;
}

Host& CurrentHost() {
  if (installed_host == nullptr) {
    std::fputs("orvendal: no platform host installed\n", stderr);
    std::abort();
  }
  return *installed_host;
}

void InstallHost(Host* host) {
  installed_host = host;
}

}  // namespace orv::platform
