// The command line handed to WinMain.
#include <vector>

#include <gtest/gtest.h>

#include "entry/command_line.h"

namespace orv::platform {
namespace {

TEST(CommandLineTest, JoinsTheArgumentsAfterTheProgramName) {
  struct Case {
    std::vector<const char*> argv;
    const char* expected;
  };
  const Case cases[] = {
      {{"orvendal"}, ""},
      {{"orvendal", "-a", "b"}, "-a b"},
      {{"orvendal", "two words", "x"}, "\"two words\" x"},
      {{"orvendal", "tab\there"}, "\"tab\there\""},
      {{"orvendal", ""}, "\"\""},
      {{"orvendal", "say \"hi\""}, R"("say \"hi\"")"},
      {{"orvendal", R"(a\"b)"}, R"("a\\\"b")"},
      {{"orvendal", R"(C:\my dir\)"}, R"("C:\my dir\\")"},
      {{"orvendal", R"(C:\dir\file)"}, R"(C:\dir\file)"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.expected);
    EXPECT_EQ(JoinCommandLine(static_cast<int>(test.argv.size()), test.argv.data()), test.expected);
  }
}

}  // namespace
}  // namespace orv::platform
