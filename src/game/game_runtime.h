#pragma once
// The game runtimes Quellmark runs on, and how each one's addresses are
// found: 1.5.39 by the offsets compiled in, the others through the Address
// Library file the player installs beside the plug-in.
#include <cstddef>
#include <cstdint>

namespace qm::game {

// major << 24 | minor << 16 | build << 4 | sub, as the script extender
// reports the runtime; sub names the store (0 Steam, 1 GOG, 2 Epic).
constexpr std::uint32_t RuntimeWord(std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                                    std::uint32_t sub = 0) {
  return (major & 0xFF) << 24 | (minor & 0xFF) << 16 | (build & 0xFFF) << 4 | (sub & 0xF);
}

inline constexpr std::uint32_t kRuntime1_5_39 = RuntimeWord(1, 5, 39);
inline constexpr std::uint32_t kRuntime1_5_97 = RuntimeWord(1, 5, 97);
// The first Anniversary Edition runtime, and the first with today's layouts.
inline constexpr std::uint32_t kRuntime1_6_317 = RuntimeWord(1, 6, 317);
inline constexpr std::uint32_t kRuntime1_6_629 = RuntimeWord(1, 6, 629);

enum class AddressSource : std::uint8_t {
  kCompiledOffsets,  // game_offsets.h
  kAddressLibrary,   // ids of game_ids.h, looked up in the library file
};

// Which of an id's two values a runtime's library file uses, and which
// layout its objects have: the Special Edition's (1.5.x) or the Anniversary
// Edition's from 1.6.629 on.
enum class RuntimeFamily : std::uint8_t { kSpecialEdition, kAnniversary };

struct SupportedRuntime {
  AddressSource addresses;
  RuntimeFamily family;
  std::uint32_t libraryFormat;  // 1: version-*.bin, 2: versionlib-*.bin; 0 without a library
};

struct RuntimeVerdict {
  const SupportedRuntime* runtime;  // null: refused
  const char* reason;               // why, when refused
};

RuntimeVerdict JudgeRuntime(std::uint32_t runtimeVersion);

// "1.5.97" (and ".N" when the sub-version is not 0) into out.
void FormatRuntime(std::uint32_t runtimeVersion, char* out, std::size_t outSize);

// The layouts of the runtime's family for every reader of the game's objects;
// chosen once, when the runtime is accepted.
void SelectRuntimeLayouts(const SupportedRuntime& runtime);

}  // namespace qm::game
