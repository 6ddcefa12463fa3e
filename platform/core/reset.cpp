#include "core/reset.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/com_object.h"
#include "core/foreground.h"

namespace orv::platform {
namespace {
std::vector<std::pair<ResetOrder, void (*)()>>& Hooks() {
  static std::vector<std::pair<ResetOrder, void (*)()>> hooks;
  return hooks;
}
}  // namespace

ResetHook::ResetHook(ResetOrder order, void (*reset)()) {
  Hooks().emplace_back(order, reset);
}

void ResetAllServices() {
  auto hooks = Hooks();
  std::stable_sort(hooks.begin(), hooks.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& hook : hooks)
    hook.second();
  ResetForeground();
  ReleasedObjects::FreeAll();
}

}  // namespace orv::platform
