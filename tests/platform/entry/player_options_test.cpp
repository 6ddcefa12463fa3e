// The player's options of the portable program: what each command line makes the start-up do.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entry/player_options.h"

namespace orv::platform {
namespace {

StartUpChoice Read(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "orvendal");
  return ReadPlayerOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(PlayerOptionsTest, EachCommandLineRunsOrEndsAsAPlayerExpects) {
  struct Case {
    std::vector<const char*> arguments;
    bool run;
    int exit_code;
    bool windowed;
    int scale;
    const char* error;  // the whole of standard error
  };
  const Case cases[] = {
      {{}, true, 0, false, 0, ""},
      {{"--window"}, true, 0, true, 0, ""},
      {{"--scale", "3"}, true, 0, false, 3, ""},
      {{"--scale=3"}, true, 0, false, 3, ""},
      {{"--window", "--scale", "1"}, true, 0, true, 1, ""},
      {{"--scale", "16", "--window"}, true, 0, true, 16, ""},
      {{"--scale", "2", "--scale", "4"}, true, 0, false, 4, ""},
      {{"--scale", "0"},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not '0' (see orvendal --help)\n"},
      {{"--scale", "17"},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not '17' (see orvendal --help)\n"},
      {{"--scale", "x"},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not 'x' (see orvendal --help)\n"},
      {{"--scale", "3x"},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not '3x' (see orvendal --help)\n"},
      {{"--scale", "-2"},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not '-2' (see orvendal --help)\n"},
      {{"--scale="},
       false,
       2,
       false,
       0,
       "orvendal: --scale takes a whole number from 1 to 16, not '' (see orvendal --help)\n"},
      {{"--scale"},
       false,
       2,
       false,
       0,
       "orvendal: --scale needs a whole number from 1 to 16 (see orvendal --help)\n"},
      {{"--window=yes"},
       false,
       2,
       false,
       0,
       "orvendal: --window takes no value (see orvendal --help)\n"},
      {{"--fullscreen"},
       false,
       2,
       false,
       0,
       "orvendal: unknown option '--fullscreen' (see orvendal --help)\n"},
      {{"-w"}, false, 2, false, 0, "orvendal: unknown option '-w' (see orvendal --help)\n"},
      {{"level1"},
       false,
       2,
       false,
       0,
       "orvendal: unexpected argument 'level1' (see orvendal --help)\n"},
      // The first argument that ends the start-up decides.
      {{"--bogus", "--help"},
       false,
       2,
       false,
       0,
       "orvendal: unknown option '--bogus' (see orvendal --help)\n"},
      {{"--help", "--bogus"}, false, 0, false, 0, ""},
      {{"--version", "--help"}, false, 0, false, 0, ""},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const char* argument : c.arguments)
      line += std::string(" ") + argument;
    SCOPED_TRACE("orvendal" + line);
    const StartUpChoice choice = Read(c.arguments);
    EXPECT_EQ(choice.run, c.run);
    EXPECT_EQ(choice.exit_code, c.exit_code);
    EXPECT_EQ(choice.error, c.error);
    if (c.run) {
      EXPECT_EQ(choice.output, "");
      EXPECT_EQ(choice.options.windowed, c.windowed);
      EXPECT_EQ(choice.options.window_scale, c.scale);
    }
  }
}

TEST(PlayerOptionsTest, HelpListsEveryOptionAndHowToSeeTheLibrariesMessages) {
  const StartUpChoice choice = Read({"--help"});
  EXPECT_FALSE(choice.run);
  EXPECT_EQ(choice.exit_code, 0);
  EXPECT_EQ(choice.error, "");
  EXPECT_TRUE(choice.output.starts_with("Usage: orvendal [OPTION]...\n"));
  for (const char* option :
       {"\n  --window ", "\n  --scale N ", "\n  --help ", "\n  --version ", "ORVENDAL_VERBOSE=1"})
    EXPECT_NE(choice.output.find(option), std::string::npos) << option;
}

TEST(PlayerOptionsTest, VersionIsTheProjects) {
  const StartUpChoice choice = Read({"--version"});
  EXPECT_FALSE(choice.run);
  EXPECT_EQ(choice.exit_code, 0);
  EXPECT_EQ(choice.output, std::string("orvendal ") + ORV_PROJECT_VERSION + "\n");
  EXPECT_EQ(choice.error, "");
}

}  // namespace
}  // namespace orv::platform
