// OpenCall, the opening of every exported call, and the IUnknown all platform objects
// share: the order journal, fault, released check, and what each form answers.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/com_object.h"
#include "core/open_call.h"
#include "hosts/headless/headless_host.h"

namespace {

using orv::platform::ComObject;
using orv::platform::Diag;
using orv::platform::JournalText;
using orv::platform::kCannotFail;
using orv::platform::kInjectedResult;
using orv::platform::OpenCall;

struct IToy : IUnknown {
  virtual HRESULT Poke(int times) = 0;
};
constexpr IID kToyIid = {0x70790001, 0x0001, 0x0001, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr IID kOtherIid = {0x70790002, 0x0001, 0x0001, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr HRESULT kToyReleased = static_cast<HRESULT>(0x80041234);
constexpr HRESULT kInjected = static_cast<HRESULT>(0x80045678);

class Toy final : public ComObject<Toy, IToy> {
 public:
  static constexpr std::string_view kInterfaceName = "IToy";
  static constexpr const IID* kInterfaces[] = {&kToyIid};
  static constexpr HRESULT kReleasedResult = kToyReleased;

  HRESULT Poke(int times) override {
    if (auto early = OpenCall(*this, "IToy::Poke", handle(), times))
      return *early;
    pokes += times;
    return S_OK;
  }
  std::string HandleText() const { return JournalText(handle()); }

  int pokes = 0;
  int final_releases = 0;
  bool held_by_platform = false;

 protected:
  void OnFinalRelease() override { ++final_releases; }
  bool PlatformHoldsLastReference() const override { return held_by_platform; }
};

class OpenCallTest : public ::testing::Test {
 protected:
  OpenCallTest() { host.diagnostics().SetJournalEnabled(true); }

  // Toys still held end with the test; the host's reset then frees their shells.
  ~OpenCallTest() override {
    for (Toy* toy : toys_)
      toy->EndLife();
  }

  // A toy with its one reference.
  Toy* MakeToy() { return toys_.emplace_back(new Toy()); }

  orv::platform::HeadlessHost host;

 private:
  std::vector<Toy*> toys_;
};

TEST_F(OpenCallTest, AMethodIsJournaledThenAnswersTheFaultThenTheReleasedResult) {
  struct Case {
    const char* what;
    bool released;
    bool fault;
    HRESULT expected;
    int pokes;
  };
  const Case cases[] = {
      {"live", false, false, S_OK, 3},
      {"live with a fault", false, true, kInjected, 0},
      {"released", true, false, kToyReleased, 0},
      {"released with a fault: the fault answers", true, true, kInjected, 0},
  };
  for (const Case& c : cases) {
    Toy* toy = MakeToy();
    if (c.released)
      toy->Drop();
    if (c.fault)
      host.diagnostics().InjectFault("IToy::Poke", kInjected);
    host.diagnostics().ClearJournal();

    EXPECT_EQ(toy->Poke(3), c.expected) << c.what;
    EXPECT_EQ(toy->pokes, c.pokes) << c.what;
    const auto& journal = host.diagnostics().journal();
    ASSERT_EQ(journal.size(), 1u) << c.what << ": journaled whatever the answer";
    EXPECT_EQ(journal[0].operation, "IToy::Poke") << c.what;
    EXPECT_EQ(journal[0].arguments, toy->HandleText() + ", 3") << c.what;
    EXPECT_EQ(toy->Poke(1), c.released ? kToyReleased : S_OK) << c.what << ": the fault is used up";
  }
}

TEST_F(OpenCallTest, FreeFunctionsAnswerTheirOwnFailureOrTheInjectedResult) {
  auto& diagnostics = host.diagnostics();
  diagnostics.InjectFault("Handle", kInjected);
  diagnostics.InjectFault("Flag", kInjected);
  diagnostics.InjectFault("Colour", kInjected);
  diagnostics.InjectFault("Result", kInjected);
  EXPECT_EQ(OpenCall(nullptr, "Handle"), std::optional(nullptr));
  EXPECT_EQ(OpenCall(FALSE, "Flag"), std::optional(FALSE));
  EXPECT_EQ(OpenCall(CLR_INVALID, "Colour"), std::optional(CLR_INVALID));
  EXPECT_EQ(OpenCall(kInjectedResult, "Result"), std::optional(kInjected));
  // Without a fault every form lets the call go on.
  EXPECT_EQ(OpenCall(nullptr, "Handle"), std::nullopt);
  EXPECT_EQ(OpenCall(FALSE, "Flag"), std::nullopt);
  EXPECT_EQ(OpenCall(CLR_INVALID, "Colour"), std::nullopt);
  EXPECT_EQ(OpenCall(kInjectedResult, "Result"), std::nullopt);
  EXPECT_EQ(diagnostics.journal().size(), 8u);
}

TEST_F(OpenCallTest, ACallThatCannotFailUsesTheFaultUpUnseen) {
  auto& diagnostics = host.diagnostics();
  diagnostics.InjectFault("Tick", kInjected);
  OpenCall(kCannotFail, "Tick", 5);
  EXPECT_EQ(OpenCall(kInjectedResult, "Tick"), std::nullopt) << "no fault left";
  ASSERT_EQ(diagnostics.journal().size(), 2u);
  EXPECT_EQ(diagnostics.journal()[0].arguments, "5");
}

// Only the calls that answer a fault count, not those it lets pass first.
TEST_F(OpenCallTest, TheDiagnosticsCountTheCallsThatAnsweredAFault) {
  auto& diagnostics = host.diagnostics();
  diagnostics.InjectFault("Flag", kInjected, 2, 1);
  std::vector<std::uint64_t> answered;
  for (int call = 0; call < 4; ++call) {
    (void)OpenCall(FALSE, "Flag");
    answered.push_back(diagnostics.faults_answered());
  }
  EXPECT_EQ(answered, (std::vector<std::uint64_t>{0, 1, 2, 2}));
}

TEST_F(OpenCallTest, ArgumentsAreWrittenOnlyWhileTheJournalIsOn) {
  host.diagnostics().SetJournalEnabled(false);
  host.diagnostics().InjectFault("Flag", kInjected);
  EXPECT_EQ(OpenCall(FALSE, "Flag", 1), std::optional(FALSE)) << "faults work without a journal";
  EXPECT_TRUE(host.diagnostics().journal().empty());
}

TEST_F(OpenCallTest, QueryInterfaceAnswersTheDeclaredInterfacesWithAReference) {
  Toy* toy = MakeToy();
  void* same = nullptr;
  EXPECT_EQ(toy->QueryInterface(kToyIid, &same), S_OK);
  EXPECT_EQ(same, static_cast<IToy*>(toy));
  EXPECT_EQ(toy->references(), 2u);
  same = reinterpret_cast<void*>(1);
  EXPECT_EQ(toy->QueryInterface(kOtherIid, &same), E_NOINTERFACE);
  EXPECT_EQ(same, nullptr);
  EXPECT_EQ(toy->QueryInterface(kToyIid, nullptr), E_POINTER);
  EXPECT_EQ(toy->references(), 2u);

  host.diagnostics().InjectFault("IToy::QueryInterface", kInjected);
  same = reinterpret_cast<void*>(1);
  EXPECT_EQ(toy->QueryInterface(kToyIid, &same), kInjected);
  EXPECT_EQ(same, reinterpret_cast<void*>(1)) << "a fault answers before anything is touched";

  toy->EndLife();
  same = reinterpret_cast<void*>(1);
  EXPECT_EQ(toy->QueryInterface(kToyIid, &same), kToyReleased);
  EXPECT_EQ(same, nullptr);
  EXPECT_EQ(toy->QueryInterface(kToyIid, nullptr), E_POINTER) << "the pointer is checked first";

  const auto operations = host.diagnostics().JournalOperations();
  EXPECT_EQ(operations, std::vector<std::string>(6, "IToy::QueryInterface"));
  EXPECT_EQ(host.diagnostics().journal()[0].arguments, toy->HandleText());
}

TEST_F(OpenCallTest, AddRefAndReleaseAreJournaledAndCannotFail) {
  Toy* toy = MakeToy();
  auto& diagnostics = host.diagnostics();
  diagnostics.InjectFault("IToy::AddRef", kInjected);
  diagnostics.InjectFault("IToy::Release", kInjected);
  EXPECT_EQ(toy->AddRef(), 2u);
  EXPECT_EQ(toy->Release(), 1u);
  EXPECT_EQ(diagnostics.live_objects(), 1);
  EXPECT_EQ(toy->Release(), 0u);
  EXPECT_EQ(toy->final_releases, 1);
  EXPECT_EQ(diagnostics.live_objects(), 0);
  EXPECT_EQ(toy->AddRef(), 0u) << "a released object stays released";
  EXPECT_EQ(toy->Release(), 0u);
  EXPECT_EQ(toy->final_releases, 1);

  const std::vector<std::string> expected{"IToy::AddRef", "IToy::Release", "IToy::Release",
                                          "IToy::AddRef", "IToy::Release"};
  EXPECT_EQ(diagnostics.JournalOperations(), expected);
  for (const auto& entry : diagnostics.journal())
    EXPECT_EQ(entry.arguments, toy->HandleText());
}

TEST_F(OpenCallTest, ThePlatformsOwnReferencesAreNotJournaled) {
  Toy* toy = MakeToy();
  EXPECT_EQ(toy->Retain(), 2u);
  EXPECT_EQ(toy->Drop(), 1u);
  EXPECT_TRUE(host.diagnostics().journal().empty());
}

TEST_F(OpenCallTest, ALastReferenceThePlatformHoldsOutlivesTheProgramsRelease) {
  Toy* toy = MakeToy();
  toy->held_by_platform = true;
  EXPECT_EQ(toy->AddRef(), 2u);
  EXPECT_EQ(toy->Release(), 1u);
  EXPECT_EQ(toy->Release(), 1u) << "the last reference is the platform's";
  EXPECT_FALSE(toy->released());
  toy->EndLife();
  EXPECT_TRUE(toy->released());
  EXPECT_EQ(toy->final_releases, 1);
  EXPECT_EQ(host.diagnostics().live_objects(), 0);
  EXPECT_EQ(toy->Release(), 0u);
}

}  // namespace
