#include "support/in_process_game.h"

#include "platform/posix_process_facts.h"

namespace qmtest {

std::uintptr_t InProcessImageBase() {
  static gd::ImageRegion region = gd::ImageRegion::Acquire(gd::off::kImageSize);
  return region.base();
}

const gd::RuntimeOffsets& InProcessRuntime(gd::LayoutFamily family) {
  static const gd::RuntimeOffsets anniversaryLayouts = [] {
    gd::RuntimeOffsets runtime = gd::Runtime1_5_39();
    runtime.layout = gd::LayoutFamily::kAnniversary;
    return runtime;
  }();
  return family == gd::LayoutFamily::kAnniversary ? anniversaryLayouts : gd::Runtime1_5_39();
}

qm::game::LayoutFamily PluginFamily(gd::LayoutFamily family) {
  return family == gd::LayoutFamily::kAnniversary ? qm::game::LayoutFamily::kAnniversary
                                                  : qm::game::LayoutFamily::kSpecialEdition;
}

std::string FamilyName(const ::testing::TestParamInfo<gd::LayoutFamily>& info) {
  return info.param == gd::LayoutFamily::kAnniversary ? "Anniversary" : "SpecialEdition";
}

}  // namespace qmtest

// What the host double tells the plug-in on Linux: here, the reserved region
// is the game's image.
extern "C" __attribute__((visibility("default"))) const QuellmarkPosixProcessFacts* QuellmarkPosixProcessFacts() {
  static const struct QuellmarkPosixProcessFacts facts { qmtest::InProcessImageBase(), "SkyrimSE.exe", nullptr };
  return &facts;
}
