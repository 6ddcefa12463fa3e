// SetRect.
#include "core/diagnostics.h"
#include "win/user.h"

using orv::platform::Diag;

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (Diag().EnterCall("SetRect", left, top, right, bottom))
    return FALSE;
  if (rect == nullptr)
    return FALSE;
  rect->left = left;
  rect->top = top;
  rect->right = right;
  rect->bottom = bottom;
  return TRUE;
}
