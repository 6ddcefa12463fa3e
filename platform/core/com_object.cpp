#include "core/com_object.h"

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

}  // namespace orv::platform
