#include "core/foreground.h"

#include <map>

namespace orv::platform {
namespace {
struct Registry {
  ForegroundState state;
  std::map<int, ForegroundListener> listeners;
  int next_id = 1;
};
Registry& State() {
  static Registry registry;
  return registry;
}
}  // namespace

const ForegroundState& Foreground() {
  return State().state;
}

void SetForeground(HWND window, bool minimized) {
  auto& registry = State();
  registry.state = {window, minimized};
  // Listeners may remove themselves while being notified.
  auto listeners = registry.listeners;
  for (auto& [id, listener] : listeners)
    listener(registry.state);
}

int AddForegroundListener(ForegroundListener listener) {
  auto& registry = State();
  int id = registry.next_id++;
  registry.listeners.emplace(id, std::move(listener));
  return id;
}

void RemoveForegroundListener(int id) {
  State().listeners.erase(id);
}

void ResetForeground() {
  State().state = {};
  State().listeners.clear();
}

}  // namespace orv::platform
