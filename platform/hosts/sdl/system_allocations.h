// OpenGL drivers (Mesa's among them) keep allocations for the life of the process and
// are unloaded before LeakSanitizer looks at the heap, so no suppression can name them.
// Under the sanitizer, allocations made while a SystemAllocations lives are not counted
// as leaks; elsewhere it does nothing. Scope it to the calls that load a driver.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace orv::platform::sdl {

class SystemAllocations {
 public:
#if defined(__SANITIZE_ADDRESS__)
  SystemAllocations() {
    __lsan_disable();
  }
  ~SystemAllocations() {
    __lsan_enable();
  }
#else
  SystemAllocations() {}  // user-provided, so that a scope's object is not "unused"
#endif
  SystemAllocations(const SystemAllocations&) = delete;
  SystemAllocations& operator=(const SystemAllocations&) = delete;
};

}  // namespace orv::platform::sdl
