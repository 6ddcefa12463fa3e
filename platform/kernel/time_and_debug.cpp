// GetTickCount, Sleep and OutputDebugStringA over the host's clock and debug channel.
#include "core/host.h"
#include "core/open_call.h"
#include "win/kernel.h"

using orv::platform::CurrentHost;
using orv::platform::kCannotFail;
using orv::platform::OpenCall;

DWORD GetTickCount() {
  OpenCall(kCannotFail, "GetTickCount");
  // Milliseconds since start; the 32-bit value wraps after about 49.7 days.
  return static_cast<DWORD>(CurrentHost().NowMicroseconds() / 1000);
}

void Sleep(DWORD milliseconds) {
  OpenCall(kCannotFail, "Sleep", milliseconds);
  CurrentHost().SleepMicroseconds(std::uint64_t{milliseconds} * 1000);
}

void OutputDebugStringA(LPCSTR text) {
  OpenCall(kCannotFail, "OutputDebugStringA", text);
  if (text == nullptr)
    return;
  CurrentHost().DebugOutput(text);
}
