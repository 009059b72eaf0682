// Chunks whose size field says nothing follows: a size of 0 or less reads
// as an entry without data (pictures, sounds) or as nothing at all (ranges,
// window style, menus), and the chunks after them are read as usual.

#include <gtest/gtest.h>

#include "ProjectTestData.h"
#include "project/Package.h"
#include "project/Project.h"

namespace duduri {
namespace {

using test::TBodyBuilder;

TEST(PackageSizes, NonPositiveSizesCarryNothing) {
  for (const std::int32_t size : {0, -1, -2147483647 - 1}) {
    TBodyBuilder body;
    body.Chunk(ctPicture, size);
    body.Chunk(ctSound, size);
    body.Chunk(ctPicturePieceRange, size);
    body.Chunk(ctWindowStyle, size);
    body.Chunk(ctMenuTree, size);
    body.Chunk(ctProjectFlags, 4).I32(1);
    TJigsawProject2 p;
    ASSERT_NO_THROW(p.LoadFromStream(body.Finish())) << size;
    ASSERT_EQ(p.Pictures.size(), 1u) << size;
    EXPECT_TRUE(p.Pictures[0].Data.empty());
    ASSERT_EQ(p.Sounds.size(), 1u) << size;
    EXPECT_TRUE(p.Sounds[0].Data.empty());
    EXPECT_EQ(p.ProjectFlags, 1) << size;
  }
}

}  // namespace
}  // namespace duduri
