// Returning the services to their state at process start, for tests and tools.
// Each service registers one hook, in the source file that holds its state:
//   const orv::platform::ResetHook kReset(orv::platform::ResetOrder::kDirectDraw, &ResetState);
#pragma once

namespace orv::platform {

// Hooks run in this order: objects that use others are reset first.
enum class ResetOrder {
  kDirectInput = 10,
  kDirectDraw = 20,
  kGdi = 30,
  kWindows = 40,
  kKernel = 50
};

struct ResetHook {
  ResetHook(ResetOrder order, void (*reset)());
};

// Runs every registered hook, then resets the foreground and frees released objects.
void ResetAllServices();

}  // namespace orv::platform
