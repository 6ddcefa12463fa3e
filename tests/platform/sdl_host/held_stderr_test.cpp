// Holding standard error while SDL's libraries start: what they write stays off it, and
// standard error works as before afterwards.
#include "hosts/sdl/held_stderr.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace orv::platform::sdl {
namespace {

TEST(HeldStandardErrorTest, KeepsWhatIsWrittenMeanwhileAndGivesStandardErrorBack) {
  testing::internal::CaptureStderr();
  std::fputs("before\n", stderr);
  std::string held_text;
  {
    HeldStandardError held;
    // Libraries write to the descriptor as well as through stdio.
    ASSERT_EQ(write(STDERR_FILENO, "from a library\n", 15), 15);
    std::fputs("error: last words\n\n", stderr);
    held_text = held.Release();
  }
  std::fputs("after\n", stderr);
  {
    HeldStandardError dropped;
    std::fputs("never shown\n", stderr);
  }
  std::fputs("end\n", stderr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "before\nafter\nend\n");
  EXPECT_EQ(held_text, "from a library\nerror: last words\n\n");
  EXPECT_EQ(LastLine(held_text), "error: last words");
}

TEST(HeldStandardErrorTest, LastLineOfTextsWithAndWithoutLineFeeds) {
  EXPECT_EQ(LastLine(""), "");
  EXPECT_EQ(LastLine("\n\n"), "");
  EXPECT_EQ(LastLine("one"), "one");
  EXPECT_EQ(LastLine("one\ntwo"), "two");
  EXPECT_EQ(LastLine("one\r\ntwo\r\n"), "two");
}

}  // namespace
}  // namespace orv::platform::sdl
