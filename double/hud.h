#pragma once
// The game's on-screen notifications: the double records every text shown.
#include "world.h"

#include <mutex>
#include <string>
#include <vector>

namespace gd {

class Hud : public WorldComponent {
 public:
  explicit Hud(World&) {}
  void Notify(std::string text);
  std::vector<std::string> Notifications() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
};

}  // namespace gd
