#include "swf_file.h"

#include "action_buffer.h"

#include <stdexcept>

namespace qm::swf {
namespace {

class BitWriter {
 public:
  void Put(std::uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      current_ = static_cast<std::uint8_t>((current_ << 1) | ((value >> i) & 1));
      if (++used_ == 8) Flush();
    }
  }
  std::vector<std::uint8_t> Done() {
    if (used_) {
      current_ = static_cast<std::uint8_t>(current_ << (8 - used_));
      Flush();
    }
    return bytes_;
  }

 private:
  void Flush() {
    bytes_.push_back(current_);
    current_ = 0;
    used_ = 0;
  }
  std::vector<std::uint8_t> bytes_;
  std::uint8_t current_ = 0;
  int used_ = 0;
};

// RECT of (0, 0)-(width, height) in twips, with signed fields wide enough for both.
std::vector<std::uint8_t> StageRect(int width, int height) {
  const std::uint32_t xmax = static_cast<std::uint32_t>(width) * 20, ymax = static_cast<std::uint32_t>(height) * 20;
  int bits = 1;
  while ((xmax >> (bits - 1)) || (ymax >> (bits - 1))) ++bits;  // one more bit for the sign
  BitWriter writer;
  writer.Put(static_cast<std::uint32_t>(bits), 5);
  writer.Put(0, bits);
  writer.Put(xmax, bits);
  writer.Put(0, bits);
  writer.Put(ymax, bits);
  return writer.Done();
}

void AppendTag(std::vector<std::uint8_t>& out, unsigned code, const std::vector<std::uint8_t>& body) {
  if (body.size() < 63) {
    AppendU16(out, (code << 6) | static_cast<unsigned>(body.size()));
  } else {
    AppendU16(out, (code << 6) | 63);
    AppendU32(out, static_cast<std::uint32_t>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

std::vector<std::uint8_t> WriteMovie(const MovieSettings& settings, const std::vector<std::uint8_t>& actions) {
  if (settings.version < 6 || settings.version > 10) throw std::invalid_argument("SWF version must be 6 to 10");
  if (settings.width <= 0 || settings.height <= 0 || settings.width > 8191 || settings.height > 8191)
    throw std::invalid_argument("stage size must be 1 to 8191 pixels");
  if (settings.frameRate <= 0 || settings.frameRate > 120) throw std::invalid_argument("frame rate must be 1 to 120");

  std::vector<std::uint8_t> body = StageRect(settings.width, settings.height);
  AppendU16(body, static_cast<unsigned>(settings.frameRate) << 8);  // 8.8 fixed point
  AppendU16(body, 1);                                               // one frame
  if (settings.version >= 8) AppendTag(body, 69, {0, 0, 0, 0});     // FileAttributes: AVM1, no network
  AppendTag(body, 9,
            {static_cast<std::uint8_t>(settings.background >> 16), static_cast<std::uint8_t>(settings.background >> 8),
             static_cast<std::uint8_t>(settings.background)});
  AppendTag(body, 12, actions);  // DoAction
  AppendTag(body, 1, {});        // ShowFrame
  AppendTag(body, 0, {});        // End

  std::vector<std::uint8_t> out = {'F', 'W', 'S', static_cast<std::uint8_t>(settings.version)};
  AppendU32(out, static_cast<std::uint32_t>(body.size() + 8));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace qm::swf
