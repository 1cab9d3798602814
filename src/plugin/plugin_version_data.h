#pragma once
// The version data the Anniversary Edition's script extender (2.2.x) reads
// from the exported datum SKSEPlugin_Version before it loads a plug-in: it
// never calls SKSEPlugin_Query, and skips a DLL without this datum. Laid out
// as skse64's SKSEPluginVersionData.
#include <cstddef>
#include <cstdint>

namespace qm::plugin {

struct PluginVersionData {
  std::uint32_t dataVersion;             // 0x000: kVersionDataVersion
  std::uint32_t pluginVersion;           // 0x004: major << 24 | minor << 16 | patch << 4
  char name[256];                        // 0x008
  char author[256];                      // 0x108
  char supportEmail[252];                // 0x208
  std::uint32_t versionIndependenceEx;   // 0x304
  std::uint32_t versionIndependence;     // 0x308
  std::uint32_t compatibleVersions[16];  // 0x30C: zero-terminated; unused when independent
  std::uint32_t seVersionRequired;       // 0x34C
};
static_assert(offsetof(PluginVersionData, pluginVersion) == 0x004);
static_assert(offsetof(PluginVersionData, name) == 0x008);
static_assert(offsetof(PluginVersionData, author) == 0x108);
static_assert(offsetof(PluginVersionData, supportEmail) == 0x208);
static_assert(offsetof(PluginVersionData, versionIndependenceEx) == 0x304);
static_assert(offsetof(PluginVersionData, versionIndependence) == 0x308);
static_assert(offsetof(PluginVersionData, compatibleVersions) == 0x30C);
static_assert(offsetof(PluginVersionData, seVersionRequired) == 0x34C);
static_assert(sizeof(PluginVersionData) == 0x350);

inline constexpr std::uint32_t kVersionDataVersion = 1;
// Addresses through the Address Library of the Anniversary Edition.
inline constexpr std::uint32_t kIndependentAddressLibraryPostAE = 1u << 0;
// The objects as 1.6.629 and later lay them out; it also keeps any earlier
// Anniversary Edition runtime from loading the plug-in.
inline constexpr std::uint32_t kIndependentStructsPost629 = 1u << 2;

// The build's version (the project's, given by the build), packed as the
// script extender packs versions.
inline constexpr std::uint32_t kBuildVersion = (QM_VERSION_MAJOR & 0xFF) << 24 | (QM_VERSION_MINOR & 0xFF) << 16 |
                                               (QM_VERSION_PATCH & 0xFFF) << 4;

// What Quellmark exports: its name, the build's version, and independence of
// the runtime's addresses with the post-1.6.629 layouts. Constant: the loader
// reads it from the file before any of the module's code has run.
constexpr PluginVersionData MakePluginVersionData() {
  PluginVersionData data{};
  data.dataVersion = kVersionDataVersion;
  data.pluginVersion = kBuildVersion;
  constexpr char kName[] = "Quellmark";
  for (std::size_t i = 0; i < sizeof kName; ++i) {
    data.name[i] = kName[i];
    data.author[i] = kName[i];
  }
  data.versionIndependence = kIndependentAddressLibraryPostAE | kIndependentStructsPost629;
  return data;
}

}  // namespace qm::plugin
