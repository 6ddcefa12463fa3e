#include "core/diagnostics.h"

#include <algorithm>

namespace orv::platform {

void Diagnostics::InjectFault(std::string_view operation, std::int32_t result, int count,
                              int skip) {
  faults_.push_back({std::string(operation), result, count, skip});
}

void Diagnostics::ClearFaults() {
  faults_.clear();
}

std::vector<std::string> Diagnostics::JournalOperations() const {
  std::vector<std::string> operations;
  operations.reserve(journal_.size());
  for (const auto& entry : journal_)
    operations.push_back(entry.operation);
  return operations;
}

std::optional<std::int32_t> Diagnostics::TakeArmedFault(std::string_view operation) {
  auto it = std::find_if(faults_.begin(), faults_.end(),
                         [&](const Fault& fault) { return fault.operation == operation; });
  if (it == faults_.end())
    return std::nullopt;
  if (it->skip > 0) {
    --it->skip;
    return std::nullopt;
  }
  std::int32_t result = it->result;
  if (--it->count <= 0)
    faults_.erase(it);
  ++faults_answered_;
  return result;
}

Diagnostics& Diag() {
  static Diagnostics diagnostics;
  return diagnostics;
}

}  // namespace orv::platform
