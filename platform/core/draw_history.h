// What was drawn into a pixel memory since a copy last wrote every one of its pixels
// opaquely: the copies in order, each with the identity of the content it read. Two
// memories drawn by equal histories hold equal pixels; where two histories differ only
// in some copies, their pixels can differ only under those copies. The software
// DirectDraw keeps one per surface memory and hands the shown one to the host.
#pragma once

#include <cstdint>
#include <vector>

#include "win/base.h"

namespace orv::platform {

// One copy onto the memory: where it wrote, what it read, and how a colour key chose the
// pixels written.
struct DrawCopy {
  int left = 0;  // the rectangle written; right and bottom exclusive
  int top = 0;
  int right = 0;
  int bottom = 0;
  std::uint64_t source_content = 0;  // the source's DrawHistory::content() when read
  int source_left = 0;               // top-left of the rectangle read
  int source_top = 0;
  int key = 0;  // a CopyKey of the software DirectDraw: 0 none, 1 source, 2 destination
  DWORD key_low = 0;
  DWORD key_high = 0;

  bool operator==(const DrawCopy&) const = default;
};

class DrawHistory {
 public:
  // Longer histories are forgotten: comparing them would cost more than the pixels.
  static constexpr std::size_t kMaxCopies = 64;

  DrawHistory();

  // A copy was drawn; `covers_all` when it wrote every pixel of the memory opaquely, so
  // that nothing drawn before it matters any more.
  void Record(const DrawCopy& copy, bool covers_all);
  // The memory was written in a way not recorded: its history is unknown until a copy
  // covers all of it again.
  void Forget();

  bool known() const { return known_; }
  // The copies since the one that covered all, which comes first; empty when unknown.
  const std::vector<DrawCopy>& copies() const { return copies_; }
  // Names the memory's present content: a new value after every write, never reused.
  std::uint64_t content() const { return content_; }

 private:
  void Renew();

  std::vector<DrawCopy> copies_;
  bool known_ = false;
  std::uint64_t content_ = 0;
};

// Calls `visit(copy)` for every copy under which memories drawn by `a` and by `b` may
// hold different pixels, and answers true; outside those copies their pixels are equal.
// Answers false, visiting nothing, when either history is unknown.
template <typename Visit>
bool VisitDifferingCopies(const DrawHistory& a, const DrawHistory& b, Visit&& visit) {
  if (!a.known() || !b.known())
    return false;
  // Copy by copy: at a pixel that no unequal pair covers, both memories went through the
  // same copies in the same order from the same first one.
  const auto& as = a.copies();
  const auto& bs = b.copies();
  const std::size_t common = as.size() < bs.size() ? as.size() : bs.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (as[i] != bs[i]) {
      visit(as[i]);
      visit(bs[i]);
    }
  }
  for (std::size_t i = common; i < as.size(); ++i)
    visit(as[i]);
  for (std::size_t i = common; i < bs.size(); ++i)
    visit(bs[i]);
  return true;
}

}  // namespace orv::platform
