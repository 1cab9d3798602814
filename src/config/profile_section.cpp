#include "config/profile_section.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace qm::config {
namespace {

// The buffer holds NUL-terminated texts, the list ended by an empty one. The
// walk also stops at the buffer's end, so a reader that broke that promise
// could not lead it astray.
std::vector<std::string> SplitTexts(const std::vector<char>& buffer) {
  std::vector<std::string> texts;
  std::size_t at = 0;
  while (at < buffer.size() && buffer[at] != '\0') {
    const void* nul = std::memchr(buffer.data() + at, '\0', buffer.size() - at);
    const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data())
                                           : buffer.size();
    texts.emplace_back(buffer.data() + at, end - at);
    at = end + 1;
  }
  return texts;
}

}  // namespace

std::vector<std::string> ReadProfileSection(const std::string& section, const std::string& path) {
  if (path.empty()) return {};
  std::vector<char> buffer(kProfileBufferSize, '\0');
  platform::ProfileSection(section.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()), path.c_str());
  return SplitTexts(buffer);
}

std::vector<std::string> ReadProfileSectionNames(const std::string& path) {
  if (path.empty()) return {};
  std::vector<char> buffer(kProfileBufferSize, '\0');
  platform::ProfileSectionNames(buffer.data(), static_cast<std::uint32_t>(buffer.size()), path.c_str());
  return SplitTexts(buffer);
}

void SortEntries(std::vector<std::string>& entries) {
  // std::string compares its bytes as unsigned char, a prefix first.
  std::sort(entries.begin(), entries.end());
}

}  // namespace qm::config
