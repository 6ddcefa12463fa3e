// Draw histories: what they remember, when they forget, and where two of them say their
// memories may differ.
#include "core/draw_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace orv::platform {
namespace {

const DrawCopy kBackground{0, 0, 640, 480, 11, 0, 0, 0, 0, 0};

DrawCopy Sprite(int x, int y, std::uint64_t sheet = 12) {
  return {x, y, x + 48, y + 46, sheet, 144, 0, 1, 0, 0};
}

DrawHistory Drawn(const std::vector<DrawCopy>& sprites) {
  DrawHistory history;
  history.Record(kBackground, true);
  for (const DrawCopy& sprite : sprites)
    history.Record(sprite, false);
  return history;
}

std::vector<DrawCopy> Differing(const DrawHistory& a, const DrawHistory& b) {
  std::vector<DrawCopy> visited;
  EXPECT_TRUE(VisitDifferingCopies(a, b, [&](const DrawCopy& c) { visited.push_back(c); }));
  return visited;
}

TEST(DrawHistoryTest, KnownFromACopyThatCoversAllUntilForgotten) {
  DrawHistory history;
  EXPECT_FALSE(history.known());
  history.Record(Sprite(1, 2), false);
  EXPECT_FALSE(history.known()) << "a partial copy over unknown pixels";
  history.Record(kBackground, true);
  history.Record(Sprite(1, 2), false);
  ASSERT_TRUE(history.known());
  EXPECT_EQ(history.copies(), (std::vector<DrawCopy>{kBackground, Sprite(1, 2)}));
  history.Record(kBackground, true);
  EXPECT_EQ(history.copies(), std::vector<DrawCopy>{kBackground}) << "covered all again";
  history.Forget();
  EXPECT_FALSE(history.known());
  EXPECT_TRUE(history.copies().empty());
}

TEST(DrawHistoryTest, EveryWriteNamesNewContent) {
  DrawHistory a;
  DrawHistory b;
  std::vector<std::uint64_t> seen{a.content(), b.content()};
  a.Record(kBackground, true);
  seen.push_back(a.content());
  a.Record(Sprite(0, 0), false);
  seen.push_back(a.content());
  a.Forget();
  seen.push_back(a.content());
  b.Record(Sprite(0, 0), false);  // not remembered, but the content is new all the same
  seen.push_back(b.content());
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST(DrawHistoryTest, TooLongAHistoryIsForgotten) {
  DrawHistory history = Drawn({});
  for (std::size_t i = 1; i < DrawHistory::kMaxCopies; ++i)
    history.Record(Sprite(static_cast<int>(i), 0), false);
  EXPECT_TRUE(history.known());
  history.Record(Sprite(0, 0), false);
  EXPECT_FALSE(history.known());
  history.Record(Sprite(0, 0), false);
  EXPECT_FALSE(history.known());
}

TEST(DrawHistoryTest, DifferingCopiesAreThoseOfBothSidesThatDoNotMatch) {
  const DrawHistory shown = Drawn({Sprite(100, 100), Sprite(400, 300)});
  EXPECT_TRUE(Differing(shown, shown).empty());
  EXPECT_TRUE(Differing(shown, Drawn({Sprite(100, 100), Sprite(400, 300)})).empty());
  // The ship moved: its old and new places.
  EXPECT_EQ(Differing(shown, Drawn({Sprite(102, 100), Sprite(400, 300)})),
            (std::vector<DrawCopy>{Sprite(100, 100), Sprite(102, 100)}));
  // Same place, a sheet whose pixels changed since.
  EXPECT_EQ(Differing(shown, Drawn({Sprite(100, 100, 99), Sprite(400, 300)})),
            (std::vector<DrawCopy>{Sprite(100, 100), Sprite(100, 100, 99)}));
  // A copy more or less.
  EXPECT_EQ(Differing(shown, Drawn({Sprite(100, 100)})), std::vector<DrawCopy>{Sprite(400, 300)});
  EXPECT_EQ(Differing(Drawn({}), shown),
            (std::vector<DrawCopy>{Sprite(100, 100), Sprite(400, 300)}));
  // A different first copy differs everywhere it wrote, which is everywhere.
  DrawHistory other;
  other.Record({0, 0, 640, 480, 13, 0, 0, 0, 0, 0}, true);
  EXPECT_EQ(Differing(shown, other).front(), kBackground);
}

TEST(DrawHistoryTest, AnUnknownHistoryAllowsNoComparison) {
  const DrawHistory known = Drawn({Sprite(1, 1)});
  const DrawHistory unknown;
  int visits = 0;
  EXPECT_FALSE(VisitDifferingCopies(known, unknown, [&](const DrawCopy&) { ++visits; }));
  EXPECT_FALSE(VisitDifferingCopies(unknown, known, [&](const DrawCopy&) { ++visits; }));
  EXPECT_EQ(visits, 0);
}

}  // namespace
}  // namespace orv::platform
