// A device that answers DDERR_WASSTILLDRAWING is asked again at once, but only for a
// small part of a frame: a device that stays busy costs the frame that operation, not
// the whole game.
#pragma once

#include "platform.h"

// How long an operation may go on answering "still drawing" (an eighth of a 60 Hz
// frame), and how many answers at most where the clock does not move.
constexpr LONGLONG kBusyRetryMicroseconds = 2000;
constexpr int kBusyRetryAttempts = 10000;

// Runs `attempt` until it answers anything but DDERR_WASSTILLDRAWING, or until the
// device has been busy for too long; then its last answer, DDERR_WASSTILLDRAWING, is the
// result. The clock is read only once the device has said it is busy.
template <typename Attempt>
HRESULT RetryWhileBusy(Attempt attempt) {
  HRESULT result = attempt();
  if (result != DDERR_WASSTILLDRAWING)
    return result;
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const LONGLONG limit = frequency.QuadPart * kBusyRetryMicroseconds / 1000000;
  for (int attempts = 1; attempts < kBusyRetryAttempts; ++attempts) {
    result = attempt();
    if (result != DDERR_WASSTILLDRAWING)
      return result;
    QueryPerformanceCounter(&now);
    if (now.QuadPart - start.QuadPart > limit)
      break;
  }
  return result;
}
