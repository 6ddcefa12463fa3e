// The window's place in the foreground, shared by the services that depend on it:
// DirectDraw loses its exclusive display and DirectInput its acquisition with it.
#pragma once

#include <functional>

#include "win/base.h"

namespace orv::platform {

struct ForegroundState {
  HWND window = nullptr;  // the window in the foreground, or null
  bool minimized = false;
};

const ForegroundState& Foreground();
// Called by the window layer whenever the foreground changes; notifies the listeners.
void SetForeground(HWND window, bool minimized);

using ForegroundListener = std::function<void(const ForegroundState&)>;
int AddForegroundListener(ForegroundListener listener);
void RemoveForegroundListener(int id);

void ResetForeground();

}  // namespace orv::platform
