// Stock icons and cursors, and the pointer's shape.
#include <algorithm>
#include <array>

#include "core/open_call.h"
#include "core/host.h"
#include "user/user_state.h"

using orv::platform::CurrentHost;
using orv::platform::OpenCall;
using namespace orv::platform::user;

namespace {

constexpr std::array<WORD, 7> kStockIcons = {32512, 32513, 32514, 32515, 32516, 32517, 32518};
constexpr std::array<WORD, 16> kStockCursors = {32512, 32513, 32514, 32515, 32516, 32640,
                                                32641, 32642, 32643, 32644, 32645, 32646,
                                                32648, 32649, 32650, 32651};

// Icons and cursors share resource numbers, so their handles live apart.
constexpr std::uintptr_t kIconHandleBase = 0x00010000;
constexpr std::uintptr_t kCursorHandleBase = 0x00020000;

template <std::size_t N>
HICON StockHandle(HINSTANCE instance, LPCSTR name, const std::array<WORD, N>& ids,
                  std::uintptr_t base) {
  // The program's own module carries no icons or cursors.
  if (instance != nullptr || name == nullptr || !IS_INTRESOURCE(name))
    return nullptr;
  const auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
  if (std::find(ids.begin(), ids.end(), id) == ids.end())
    return nullptr;
  return reinterpret_cast<HICON>(base + id);
}

}  // namespace

namespace orv::platform::user {

HCURSOR StockArrowCursor() {
  return reinterpret_cast<HCURSOR>(kCursorHandleBase + 32512);
}

HCURSOR SetCursorNow(HCURSOR cursor) {
  const HCURSOR previous = State().cursor;
  State().cursor = cursor;
  // No cursor means no pointer over the window.
  CurrentHost().SetPointerVisible(cursor != nullptr);
  return previous;
}

}  // namespace orv::platform::user

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (auto early = OpenCall(nullptr, "LoadIconA", instance, name))
    return *early;
  return StockHandle(instance, name, kStockIcons, kIconHandleBase);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (auto early = OpenCall(nullptr, "LoadCursorA", instance, name))
    return *early;
  return StockHandle(instance, name, kStockCursors, kCursorHandleBase);
}

HCURSOR SetCursor(HCURSOR cursor) {
  if (auto early = OpenCall(nullptr, "SetCursor", cursor))
    return *early;
  return SetCursorNow(cursor);
}
