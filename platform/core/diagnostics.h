// Call journal, fault injection and live-object accounting of the platform services.
// Every service entry point announces itself through OpenCall() (core/open_call.h);
// tests read the journal, arm faults and count live objects through the headless host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::platform {

struct JournalEntry {
  std::string operation;  // e.g. "IDirectDrawSurface7::BltFast"
  std::string arguments;  // main arguments, comma separated
};

class Diagnostics {
 public:
  // The next `count` calls of `operation`, after `skip` calls that pass, answer `result`.
  // Operations returning a handle answer null and those returning BOOL answer FALSE
  // whatever `result` says; HRESULT (and LRESULT) operations answer `result` itself.
  // Others answer their own failure value (0, -1, CLR_INVALID...); those that cannot
  // fail (AddRef, Release, GetTickCount...) use the fault up without effect.
  void InjectFault(std::string_view operation, std::int32_t result, int count = 1, int skip = 0);
  void ClearFaults();
  // Calls that answered an injected fault, since the diagnostics were made.
  std::uint64_t faults_answered() const { return faults_answered_; }

  void SetJournalEnabled(bool enabled) { journal_enabled_ = enabled; }
  bool journal_enabled() const { return journal_enabled_; }
  const std::vector<JournalEntry>& journal() const { return journal_; }
  void ClearJournal() { journal_.clear(); }
  // Operations of the journal in order, for compact assertions.
  std::vector<std::string> JournalOperations() const;

  void ObjectCreated() { ++live_objects_; }
  void ObjectDestroyed() { --live_objects_; }
  int live_objects() const { return live_objects_; }

  // For OpenCall(): adds a call to the journal, and uses up the fault due for a call of
  // `operation`, if one is armed.
  void Record(std::string_view operation, std::string arguments) {
    journal_.push_back({std::string(operation), std::move(arguments)});
  }
  std::optional<std::int32_t> TakeFault(std::string_view operation) {
    if (faults_.empty())
      return std::nullopt;
    return TakeArmedFault(operation);
  }

 private:
  struct Fault {
    std::string operation;
    std::int32_t result;
    int count;
    int skip;
  };
  std::optional<std::int32_t> TakeArmedFault(std::string_view operation);

  std::vector<Fault> faults_;
  std::vector<JournalEntry> journal_;
  bool journal_enabled_ = false;
  int live_objects_ = 0;
  std::uint64_t faults_answered_ = 0;
};

Diagnostics& Diag();

}  // namespace orv::platform
