// The Windows side of the profile functions alone, so that profile_dump can be
// built without the rest of the platform layer.
#include <windows.h>

#include "platform/platform.h"

namespace qm::platform {

std::uint32_t ProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path) {
  return GetPrivateProfileSectionA(section, buffer, size, path);
}

std::uint32_t ProfileSectionNames(char* buffer, std::uint32_t size, const char* path) {
  return GetPrivateProfileSectionNamesA(buffer, size, path);
}

}  // namespace qm::platform
