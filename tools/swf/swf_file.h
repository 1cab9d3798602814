#pragma once
// Writes an uncompressed one-frame SWF movie around one action list.
#include <cstdint>
#include <vector>

namespace qm::swf {

struct MovieSettings {
  int version = 8;
  int width = 1920;  // stage size in pixels
  int height = 1080;
  int frameRate = 30;
  std::uint32_t background = 0x000000;
};

// Header, FileAttributes, SetBackgroundColor, DoAction, ShowFrame, End.
std::vector<std::uint8_t> WriteMovie(const MovieSettings& settings, const std::vector<std::uint8_t>& actions);

}  // namespace qm::swf
