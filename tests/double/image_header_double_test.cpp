// The double's image region declares its own size in a PE header at its
// base, and a world will not run on a region whose header says otherwise
// (on Windows the launcher's own header, which it must have patched).
#include "double_offsets.h"
#include "image_region.h"
#include "pe_header.h"
#include "world.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace gd {
namespace {

TEST(ImageHeaderDouble, AWorldRunsOnlyOnARegionThatDeclaresItsOwnSize) {
  ImageRegion region = ImageRegion::Acquire(off::kImageSize);
  EXPECT_EQ(DeclaredImageSize(region.base()), off::kImageSize);

  ASSERT_TRUE(DeclareImageSize(region.base(), off::kImageSize - 0x10000));
  EXPECT_EQ(DeclaredImageSize(region.base()), off::kImageSize - 0x10000);
  EXPECT_THROW(World(ImageRegion::Adopt(region.base(), off::kImageSize)), std::logic_error);
  region.At<std::uint8_t>(0)[0] = 'X';  // no header at all
  EXPECT_EQ(DeclaredImageSize(region.base()), 0u);
  EXPECT_FALSE(DeclareImageSize(region.base(), off::kImageSize));
  EXPECT_THROW(World(ImageRegion::Adopt(region.base(), off::kImageSize)), std::logic_error);

  WriteImageHeader(region.base(), off::kImageSize);
  World world(ImageRegion::Adopt(region.base(), off::kImageSize));
  EXPECT_EQ(world.base(), region.base());
}

}  // namespace
}  // namespace gd
