#pragma once
// The profile (INI) readers for platforms without the Windows ones. They give
// the same result and leave the same bytes in the buffer as
// GetPrivateProfileSectionA / GetPrivateProfileSectionNamesA do under Wine 8
// with the ANSI code page 1252, so the settings code sees one behaviour on both.
#include <cstdint>

namespace qm::platform {

// Same result and buffer contract as GetPrivateProfileSectionA / GetPrivateProfileSectionNamesA.
std::uint32_t PosixProfileSection(const char* section, char* buffer, std::uint32_t size, const char* path);
std::uint32_t PosixProfileSectionNames(char* buffer, std::uint32_t size, const char* path);

}  // namespace qm::platform
