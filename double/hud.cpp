#include "hud.h"

#include "double_offsets.h"
#include "stub_registry.h"

namespace gd {

void Hud::Notify(std::string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  texts_.push_back(std::move(text));
}

std::vector<std::string> Hud::Notifications() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

namespace {

// (text, sound, cancel if queued): the plug-in shows plain text, no sound.
void HudNotify(const char* text, const char* sound, bool cancelIfQueued) {
  World& world = World::Active();
  if (text == nullptr) {
    world.Violation("HudNotify without a text");
    return;
  }
  if (sound != nullptr || cancelIfQueued) world.Violation("HudNotify expects (text, null, 0)");
  world.Component<Hud>().Notify(text);
}
GD_REGISTER_STUB(off::kHudNotify, HudNotify);

}  // namespace
}  // namespace gd
