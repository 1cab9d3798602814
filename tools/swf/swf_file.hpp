// Writes an uncompressed one-frame SWF movie around one action list.
#pragma once

#include <cstdint>
#include <vector>

namespace swf {

struct MovieSettings {
  int version = 8;
  int width = 1920;   // stage size in pixels
  int height = 1080;
  int frame_rate = 30;
  uint32_t background = 0x000000;
};

// Header, FileAttributes, SetBackgroundColor, DoAction, ShowFrame, End.
std::vector<uint8_t> WriteMovie(const MovieSettings& settings, const std::vector<uint8_t>& actions);

}  // namespace swf
