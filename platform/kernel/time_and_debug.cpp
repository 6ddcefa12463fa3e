// GetTickCount, the performance counter, Sleep and OutputDebugStringA over the host's
// clock and debug channel.
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

// The counter is the host's microsecond clock, so it never goes back and never wraps.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (auto early = OpenCall(FALSE, "QueryPerformanceCounter", count))
    return *early;
  if (count == nullptr)
    return FALSE;
  count->QuadPart = static_cast<LONGLONG>(CurrentHost().NowMicroseconds());
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (auto early = OpenCall(FALSE, "QueryPerformanceFrequency", frequency))
    return *early;
  if (frequency == nullptr)
    return FALSE;
  frequency->QuadPart = 1'000'000;
  return TRUE;
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
