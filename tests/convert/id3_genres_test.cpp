#include "convert/id3_genres.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

// The names the tag editor and --genre use for the numbers whose spelling varies between lists,
// and the neutral label of 133; looking a name up gives the stored number back.
TEST(Id3GenresTest, NamesFollowTheProgramsListBothWays) {
  const std::pair<int, const char*> names[] = {{40, "Alt. Rock"}, {81, "Folk/Rock"},  {84, "Fast-Fusion"},
                                               {133, "Afro-Punk"}, {144, "Trash Metal"}, {146, "Jpop"}};
  for (const auto& [number, name] : names) {
    EXPECT_STREQ(GenreName(number), name) << number;
    EXPECT_EQ(GenreFromName(name), number) << name;
  }
  EXPECT_EQ(GenreFromName("afro-punk"), 133);
  EXPECT_EQ(GenreName(kGenreCount), nullptr);
}

}  // namespace
}  // namespace velmora
