// GetTickCount, Sleep and OutputDebugStringA over the host's clock and debug channel.
#include "core/diagnostics.h"
#include "core/host.h"
#include "kernel/journal_text.h"
#include "win/kernel.h"

using orv::platform::CurrentHost;
using orv::platform::Diag;

DWORD GetTickCount() {
  (void)Diag().EnterCall("GetTickCount");
  // Milliseconds since start; the 32-bit value wraps after about 49.7 days.
  return static_cast<DWORD>(CurrentHost().NowMicroseconds() / 1000);
}

void Sleep(DWORD milliseconds) {
  (void)Diag().EnterCall("Sleep", milliseconds);
  CurrentHost().SleepMicroseconds(std::uint64_t{milliseconds} * 1000);
}

void OutputDebugStringA(LPCSTR text) {
  (void)Diag().EnterCall("OutputDebugStringA", orv::platform::JournalText(text));
  if (text == nullptr)
    return;
  CurrentHost().DebugOutput(text);
}
