#include "core/com_object.h"

#include <memory>
#include <vector>

namespace orv::platform {
namespace {
std::vector<std::unique_ptr<ReleasedObjects::Shell>>& Shells() {
  static std::vector<std::unique_ptr<ReleasedObjects::Shell>> shells;
  return shells;
}
}  // namespace

void ReleasedObjects::Keep(Shell* shell) {
  Shells().emplace_back(shell);
}
void ReleasedObjects::FreeAll() {
  Shells().clear();
}

ULONG ComLifetime::Drop() {
  if (released_)
    return 0;
  if (--references_ > 0)
    return references_;
  released_ = true;
  Diag().ObjectDestroyed();
  OnFinalRelease();
  ReleasedObjects::Keep(this);
  return 0;
}

}  // namespace orv::platform
