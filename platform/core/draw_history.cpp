#include "core/draw_history.h"

#include <atomic>

namespace orv::platform {
namespace {

std::atomic<std::uint64_t> next_content{1};

}  // namespace

DrawHistory::DrawHistory() {
  Renew();
}

void DrawHistory::Renew() {
  content_ = next_content.fetch_add(1, std::memory_order_relaxed);
}

void DrawHistory::Record(const DrawCopy& copy, bool covers_all) {
  Renew();
  if (covers_all) {
    copies_.clear();
    known_ = true;
  } else if (!known_) {
    return;
  } else if (copies_.size() == kMaxCopies) {
    copies_.clear();
    known_ = false;
    return;
  }
  copies_.push_back(copy);
}

void DrawHistory::Forget() {
  Renew();
  copies_.clear();
  known_ = false;
}

}  // namespace orv::platform
