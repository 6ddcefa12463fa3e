#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "core/journal_text.h"
#include "kernel/resource_table.h"
#include "platform.h"

using orv::platform::HeadlessHost;
using orv::platform::RegisterResource;

namespace {

class KernelTest : public ::testing::Test {
 protected:
  HeadlessHost host;
};

std::string BytesOf(LPCVOID data, DWORD size) {
  const char* bytes = static_cast<const char*>(data);
  return std::string(bytes, bytes + size);
}

// The data of a resource through the public calls, or "<none>".
std::string LoadedResource(LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(nullptr, name, type);
  if (found == nullptr)
    return "<none>";
  HGLOBAL loaded = LoadResource(nullptr, found);
  LPVOID locked = LockResource(loaded);
  if (locked == nullptr)
    return "<unlockable>";
  return BytesOf(locked, SizeofResource(nullptr, found));
}

TEST_F(KernelTest, TickCountIsHostMillisecondsWrappingAt32Bits) {
  struct Case {
    std::uint64_t now_us;
    DWORD ticks;
  };
  const std::uint64_t wrap_us = (std::uint64_t{1} << 32) * 1000;
  for (const Case& c :
       {Case{0, 0}, Case{999, 0}, Case{1000, 1}, Case{123456789, 123456},
        Case{wrap_us - 1000, 0xFFFFFFFF}, Case{wrap_us, 0}, Case{wrap_us + 5999, 5}}) {
    host.SetNowMicroseconds(c.now_us);
    EXPECT_EQ(GetTickCount(), c.ticks) << "at " << c.now_us << " us";
  }
  // Intervals survive the wrap as unsigned differences.
  host.SetNowMicroseconds(wrap_us - 10'000);
  DWORD before = GetTickCount();
  host.SetNowMicroseconds(wrap_us + 20'000);
  EXPECT_EQ(GetTickCount() - before, 30u);
}

TEST_F(KernelTest, PerformanceCounterCountsHostMicrosecondsPastTheTickWrap) {
  LARGE_INTEGER frequency{}, count{};
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 1'000'000);
  const std::uint64_t past_tick_wrap_us = (std::uint64_t{1} << 32) * 1000 + 17;
  host.SetNowMicroseconds(past_tick_wrap_us);
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(count.QuadPart, static_cast<LONGLONG>(past_tick_wrap_us));
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

TEST_F(KernelTest, SleepWaitsOnTheVirtualClock) {
  host.SetNowMicroseconds(7'000);
  Sleep(1);
  Sleep(25);
  EXPECT_EQ(host.NowMicroseconds(), 33'000u);
  EXPECT_EQ(host.total_slept_us(), 26'000u);
  EXPECT_EQ(GetTickCount(), 33u);
}

TEST_F(KernelTest, DebugLinesReachTheHostAndNullIsIgnored) {
  OutputDebugStringA("SetDisplayMode OK\n");
  OutputDebugStringA(nullptr);
  OutputDebugStringA("");
  OutputDebugStringA("handle is null\n");
  std::vector<std::string> expected{"SetDisplayMode OK\n", "", "handle is null\n"};
  EXPECT_EQ(host.debug_lines(), expected);
}

TEST_F(KernelTest, ModuleHandleIsFixedForTheProgramOnly) {
  HMODULE module = GetModuleHandleA(nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), module);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);
  EXPECT_NE(FindResourceA(module, "LINKEDART", RT_BITMAP), nullptr);
  // Another module's handle holds none of the program's resources.
  EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(0x10000000), "LINKEDART", RT_BITMAP), nullptr);
}

TEST_F(KernelTest, ResourcesAreFoundByTypeAndCaseInsensitiveName) {
  RegisterResource(RT_BITMAP, "Menu", 1041, "menu", 4);
  RegisterResource(MAKEINTRESOURCEA(10), "Menu", 0, "rcdata", 6);
  RegisterResource(RT_BITMAP, MAKEINTRESOURCEA(7), 1033, "seven", 5);
  RegisterResource("Custom", "Sheet", 0, "custom", 6);
  struct Case {
    LPCSTR name;
    LPCSTR type;
    std::string data;
  };
  const Case cases[] = {
      {"Menu", RT_BITMAP, "menu"},
      {"MENU", RT_BITMAP, "menu"},
      {"menu", RT_BITMAP, "menu"},
      {"menu", MAKEINTRESOURCEA(10), "rcdata"},
      {"menu", MAKEINTRESOURCEA(3), "<none>"},
      {"MENUS", RT_BITMAP, "<none>"},
      {"MEN", RT_BITMAP, "<none>"},
      {"", RT_BITMAP, "<none>"},
      {MAKEINTRESOURCEA(7), RT_BITMAP, "seven"},
      {"#7", RT_BITMAP, "seven"},
      {"#07", RT_BITMAP, "seven"},
      {"7", RT_BITMAP, "<none>"},
      {MAKEINTRESOURCEA(8), RT_BITMAP, "<none>"},
      {"sheet", "CUSTOM", "custom"},
      {"sheet", "#2", "<none>"},
      {"menu", "#2", "menu"},
      {"menu", "#10", "rcdata"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadedResource(c.name, c.type), c.data)
        << orv::platform::JournalText(c.name) << " of type " << orv::platform::JournalText(c.type);
  }
  EXPECT_EQ(FindResourceA(nullptr, nullptr, RT_BITMAP), nullptr);
  EXPECT_EQ(FindResourceA(nullptr, "MENU", nullptr), nullptr);
}

TEST_F(KernelTest, LinkedBitmapIsTheFileWithoutItsFileHeader) {
  std::ifstream file(ORV_LINKED_ART_FILE, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 14u);
  EXPECT_EQ(LoadedResource("LinkedArt", RT_BITMAP), bytes.substr(14));
}

TEST_F(KernelTest, NewestRegistrationWinsAndResetDropsOnlyRegisteredResources) {
  const std::string linked = LoadedResource("LINKEDART", RT_BITMAP);
  RegisterResource(RT_BITMAP, "linkedart", 0, "odd", 3);
  RegisterResource(RT_BITMAP, "EXTRA", 0, "extra", 5);
  EXPECT_EQ(LoadedResource("LINKEDART", RT_BITMAP), "odd");
  HRSRC extra = FindResourceA(nullptr, "EXTRA", RT_BITMAP);
  ASSERT_NE(extra, nullptr);

  host.Reset();
  EXPECT_EQ(LoadedResource("LINKEDART", RT_BITMAP), linked);
  EXPECT_EQ(LoadedResource("EXTRA", RT_BITMAP), "<none>");
  // The dropped entry's handle no longer finds anything.
  EXPECT_EQ(LoadResource(nullptr, extra), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, extra), 0u);
}

TEST_F(KernelTest, EmptyResourceStillLoads) {
  RegisterResource(RT_BITMAP, "EMPTY", 0, nullptr, 0);
  HRSRC found = FindResourceA(nullptr, "EMPTY", RT_BITMAP);
  ASSERT_NE(found, nullptr);
  EXPECT_NE(LockResource(LoadResource(nullptr, found)), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, found), 0u);
}

TEST_F(KernelTest, CallsAreJournalledAndFaultsAnswerFailure) {
  host.diagnostics().SetJournalEnabled(true);
  host.diagnostics().InjectFault("FindResourceA", E_FAIL, 1, 1);
  host.diagnostics().InjectFault("LockResource", E_FAIL);
  EXPECT_NE(FindResourceA(nullptr, "LINKEDART", RT_BITMAP), nullptr);  // skipped
  EXPECT_EQ(FindResourceA(nullptr, "LINKEDART", RT_BITMAP), nullptr);  // armed
  HRSRC found = FindResourceA(nullptr, "LINKEDART", RT_BITMAP);
  EXPECT_EQ(LockResource(LoadResource(nullptr, found)), nullptr);
  host.diagnostics().InjectFault("_lopen", E_FAIL);
  EXPECT_EQ(_lopen(ORV_LINKED_ART_FILE, OF_READ), HFILE_ERROR);

  const auto& journal = host.diagnostics().journal();
  ASSERT_EQ(journal.size(), 6u);
  EXPECT_EQ(journal[0].operation, "FindResourceA");
  EXPECT_NE(journal[0].arguments.find("\"LINKEDART\", #2"), std::string::npos)
      << journal[0].arguments;
  EXPECT_EQ(journal[3].operation, "LoadResource");
  EXPECT_EQ(journal[4].operation, "LockResource");
  EXPECT_EQ(journal[5].operation, "_lopen");
}

class OldStyleFileTest : public KernelTest {
 protected:
  void SetUp() override {
    path_ =
        std::filesystem::temp_directory_path() /
        ("orv_kernel_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::ofstream(path_, std::ios::binary) << "0123456789";
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
};

TEST_F(OldStyleFileTest, ReadsReturnAtMostTheCountAndShortAtTheEnd) {
  HFILE file = _lopen(path_.c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  char buffer[16] = {};
  struct Step {
    UINT count;
    UINT got;
    std::string data;
  };
  for (const Step& step : {Step{4, 4, "0123"}, Step{0, 0, ""}, Step{5, 5, "45678"},
                           Step{16, 1, "9"}, Step{16, 0, ""}}) {
    EXPECT_EQ(_lread(file, buffer, step.count), step.got);
    EXPECT_EQ(std::string(buffer, step.got), step.data);
  }
  EXPECT_EQ(_lclose(file), 0);
  EXPECT_EQ(_lclose(file), HFILE_ERROR);
  EXPECT_EQ(_lread(file, buffer, 4), static_cast<UINT>(HFILE_ERROR));
}

TEST_F(OldStyleFileTest, OpenAndReadRefuseWhatIsNotAReadableFile) {
  EXPECT_EQ(_lopen((path_.string() + ".missing").c_str(), OF_READ), HFILE_ERROR);
  EXPECT_EQ(_lopen(path_.parent_path().c_str(), OF_READ), HFILE_ERROR);
  EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
  EXPECT_EQ(_lopen(path_.c_str(), 1 /* OF_WRITE */), HFILE_ERROR);
  char buffer[4];
  EXPECT_EQ(_lread(HFILE_ERROR, buffer, 4), static_cast<UINT>(HFILE_ERROR));
  EXPECT_EQ(_lread(12345, buffer, 4), static_cast<UINT>(HFILE_ERROR));

  HFILE file = _lopen(path_.c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  EXPECT_EQ(_lread(file, nullptr, 4), static_cast<UINT>(HFILE_ERROR));
  // A reset closes what was left open.
  host.Reset();
  EXPECT_EQ(_lread(file, buffer, 4), static_cast<UINT>(HFILE_ERROR));
}

}  // namespace
