// The opening of every exported call of the platform: the journal entry, then the
// injected fault, then (for a COM method) the check that the object is still alive.
//
//   if (auto early = OpenCall(FALSE, "ShowWindow", window, show_command))
//     return *early;
//   if (auto early = OpenCall(*this, "IDirectDrawSurface7::IsLost", handle()))
//     return *early;
//
// An empty answer lets the call go on. The first argument says what an early answer is:
//   a value (nullptr, FALSE, 0, CLR_INVALID...)  that value, when a fault is injected;
//   kInjectedResult                              the injected result itself (HRESULT, LRESULT);
//   kCannotFail                                  none: an injected fault is used up unseen;
//   the COM object, *this                        the injected HRESULT, else the object's
//                                                kReleasedResult once it is released.
// The remaining arguments go into the journal as core/journal_text.h writes them (only
// while the journal is on).
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>

#include "core/diagnostics.h"
#include "core/journal_text.h"

namespace orv::platform {

struct InjectedResult {};
inline constexpr InjectedResult kInjectedResult;
struct CannotFail {};
inline constexpr CannotFail kCannotFail;

// A COM object that answers kReleasedResult to every call once it is released.
template <typename Object>
concept ReleasableObject = requires(const Object& object) {
  { object.released() } -> std::same_as<bool>;
  { Object::kReleasedResult } -> std::convertible_to<std::int32_t>;
};

namespace call {
template <typename... Args>
std::optional<std::int32_t> Enter(std::string_view operation, const Args&... args) {
  Diagnostics& diagnostics = Diag();
  if (diagnostics.journal_enabled())
    diagnostics.Record(operation, JournalText(args...));
  return diagnostics.TakeFault(operation);
}
}  // namespace call

template <typename Failure, typename... Args>
requires std::is_scalar_v<Failure>
[[nodiscard]] std::optional<Failure> OpenCall(Failure failure, std::string_view operation,
                                              const Args&... args) {
  if (call::Enter(operation, args...))
    return failure;
  return std::nullopt;
}

template <typename... Args>
[[nodiscard]] std::optional<std::int32_t> OpenCall(InjectedResult, std::string_view operation,
                                                   const Args&... args) {
  return call::Enter(operation, args...);
}

template <typename... Args>
void OpenCall(CannotFail, std::string_view operation, const Args&... args) {
  call::Enter(operation, args...);
}

template <ReleasableObject Object, typename... Args>
[[nodiscard]] std::optional<std::int32_t> OpenCall(const Object& object, std::string_view operation,
                                                   const Args&... args) {
  if (auto fault = call::Enter(operation, args...))
    return fault;
  if (object.released())
    return Object::kReleasedResult;
  return std::nullopt;
}

}  // namespace orv::platform
