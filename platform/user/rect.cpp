// SetRect.
#include "core/open_call.h"
#include "win/user.h"

using orv::platform::OpenCall;

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (auto early = OpenCall(FALSE, "SetRect", left, top, right, bottom))
    return *early;
  if (rect == nullptr)
    return FALSE;
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
  return TRUE;
}
