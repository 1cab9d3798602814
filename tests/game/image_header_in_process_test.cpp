// The game double's image carries the header the plug-in reads its size from:
// the plug-in's reader and the double's agree on the region's size.
#include "game/image_header.h"
#include "image_header.h"
#include "platform/platform.h"
#include "support/in_process_game.h"

#include <gtest/gtest.h>

namespace qmtest {
namespace {

TEST_F(InProcessGame, ThePluginReadsTheImageSizeTheDoubleDeclares) {
  const std::uintptr_t base = qm::platform::ProcessImageBase();
  ASSERT_EQ(base, world().base());
  EXPECT_EQ(qm::game::GameImageSize(base), gd::off::kImageSize);
  EXPECT_EQ(gd::DeclaredImageSize(base), gd::off::kImageSize);
  EXPECT_LT(gd::kImageHeaderBytes, gd::off::kLowestBinding);
}

}  // namespace
}  // namespace qmtest
