#include "hud.h"

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
void Notify(const char* function, const char* text, const char* sound, bool cancelIfQueued) {
  World& world = World::Active();
  if (text == nullptr) {
    world.Violation(std::string(function) + " without a text");
    return;
  }
  if (sound != nullptr || cancelIfQueued) world.Violation(std::string(function) + " expects (text, null, 0)");
  world.Component<Hud>().Notify(text);
}

// The HUD's own function, placed on 1.5.39.
void HudNotify(const char* text, const char* sound, bool cancelIfQueued) {
  Notify("HudNotify", text, sound, cancelIfQueued);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::hudNotify, HudNotify);

// The function Papyrus's notification calls: the same arguments, placed on
// the runtimes whose HUD function nobody has named.
void DebugNotification(const char* text, const char* sound, bool cancelIfQueued) {
  Notify("DebugNotification", text, sound, cancelIfQueued);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::debugNotification, DebugNotification);

}  // namespace
}  // namespace gd
