// wsprintfA and SetRect.
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "hosts/headless/headless_host.h"
#include "platform.h"

namespace orv::platform::testing {
namespace {

class TextAndRectTest : public ::testing::Test {
 protected:
  HeadlessHost host;
  char buffer[1100];
};

TEST_F(TextAndRectTest, FormatsIntegers) {
  struct Case {
    const char* format;
    int value;
    const char* expected;
  };
  const Case cases[] = {
      {"%04d FPS", 60, "0060 FPS"},
      {"%04d FPS", 0, "0000 FPS"},
      {"%04d FPS", 12345, "12345 FPS"},
      {"%04d FPS", -5, "-005 FPS"},
      {"%04d FPS", INT_MIN, "-2147483648 FPS"},
      {"%d", INT_MAX, "2147483647"},
      {"%i", -42, "-42"},
      {"%5d|", 42, "   42|"},
      {"%-5d|", 42, "42   |"},
      {"%-05d|", 42, "42   |"},
      {"%05d", -42, "-0042"},
      {"%.3d", 7, "007"},
      {"%u", -1, "4294967295"},
      {"%x", 255, "ff"},
      {"%X", 0xBEEF, "BEEF"},
      {"%08X", 0xBEEF, "0000BEEF"},
      {"%#x", 255, "0xff"},
      {"%#06X", 255, "0X00FF"},
      {"%ld", -7, "-7"},
      {"%lx", -1, "ffffffff"},
      {"%hd", 70000, "4464"},
      {"%hu", -1, "65535"},
      {"%c", 'A', "A"},
      {"%3c|", 'A', "  A|"},
      {"100%%", 0, "100%"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.format);
    const int written = wsprintfA(buffer, test.format, test.value);
    EXPECT_STREQ(buffer, test.expected);
    EXPECT_EQ(written, static_cast<int>(std::strlen(test.expected)));
  }
}

TEST_F(TextAndRectTest, FormatsStringsAndSeveralArguments) {
  struct Case {
    const char* format;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"[%s]", "abc", "[abc]"},    {"[%s]", "", "[]"},
      {"[%5s]", "abc", "[  abc]"}, {"[%-5s]", "abc", "[abc  ]"},
      {"[%.2s]", "abc", "[ab]"},   {"[%4.1s]", "abc", "[   a]"},
      {"[%hs]", "abc", "[abc]"},   {"[%s]", nullptr, "[(null)]"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.format);
    wsprintfA(buffer, test.format, test.value);
    EXPECT_STREQ(buffer, test.expected);
  }

  const std::uint16_t wide[] = {'o', 'k', 0x263A, 0};
  wsprintfA(buffer, "%ls %S", wide, wide);
  EXPECT_STREQ(buffer, "ok? ok?");

  wsprintfA(buffer, "%s=%d (%x) %c%I64d", "count", 12, 12, '#', 1LL << 40);
  EXPECT_STREQ(buffer, "count=12 (c) #1099511627776");
}

TEST_F(TextAndRectTest, WritesAtMost1024CharactersAndTheZero) {
  const std::string long_text(2000, 'a');
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(wsprintfA(buffer, "%s", long_text.c_str()), 1024);
  EXPECT_EQ(buffer[1023], 'a');
  EXPECT_EQ(buffer[1024], '\0');
  EXPECT_EQ(buffer[1025], 'x');

  // Padding counts against the same limit.
  EXPECT_EQ(wsprintfA(buffer, "%2000d", 1), 1024);
  EXPECT_EQ(std::strlen(buffer), 1024u);
}

TEST_F(TextAndRectTest, SetRectFillsInOrderAndRefusesNull) {
  RECT rect{};
  EXPECT_TRUE(SetRect(&rect, 1, -2, 3, 4));
  EXPECT_EQ(rect.left, 1);
  EXPECT_EQ(rect.top, -2);
  EXPECT_EQ(rect.right, 3);
  EXPECT_EQ(rect.bottom, 4);
  EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

}  // namespace
}  // namespace orv::platform::testing
