#include "game/library_binding.h"

#include "game/address_library.h"
#include "game/game_bindings.h"
#include "game/game_folder.h"
#include "game/image_header.h"
#include "log/debug_log.h"
#include "platform/platform.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace qm::game {
namespace {

constexpr const char* kLibraryFolder = "data\\SKSE\\Plugins\\";
// How the log names the file: below the game's folder, as players find it.
constexpr const char* kShownFolder = "Data\\SKSE\\Plugins\\";

struct VersionParts {
  std::uint32_t major, minor, build, sub;
};

// The store's number (sub) is not part of the file's name or header.
VersionParts PartsOf(std::uint32_t v) { return {v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 4 & 0xFFF, 0}; }

// The file is read once, at the query; its size is asked first, and asked
// again should it grow in between.
platform::FileRead ReadLibraryFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::size_t size = 0;
  platform::FileRead read = platform::ReadWholeFile(path.c_str(), nullptr, 0, &size);
  for (int attempt = 0; attempt < 3 && read == platform::FileRead::kTooLarge; ++attempt) {
    bytes.resize(size);
    read = platform::ReadWholeFile(path.c_str(), bytes.data(), bytes.size(), &size);
  }
  if (read == platform::FileRead::kRead) bytes.resize(size);
  return read;
}

}  // namespace

void LibraryFileName(const SupportedRuntime& runtime, std::uint32_t runtimeVersion, char* out, std::size_t outSize) {
  const VersionParts v = PartsOf(runtimeVersion);
  std::snprintf(out, outSize, "%s-%u-%u-%u-%u.bin", runtime.libraryFormat == 1 ? "version" : "versionlib", v.major,
                v.minor, v.build, v.sub);
}

bool BindThroughLibrary(const SupportedRuntime& runtime, std::uint32_t runtimeVersion) {
  char name[64];
  LibraryFileName(runtime, runtimeVersion, name, sizeof name);
  const std::string folder = GameFolderPath();
  if (folder.empty()) {
    log::LogMessage("Address Library file %s: the game's folder is unknown", name);
    return false;
  }
  const std::string path = folder + kLibraryFolder + name;
  const std::string shown = std::string(kShownFolder) + name;

  std::vector<std::uint8_t> bytes;
  switch (ReadLibraryFile(path, bytes)) {
    case platform::FileRead::kRead: break;
    case platform::FileRead::kNoFile:
      log::LogMessage(
          "Address Library file %s: no such file; install Address Library for SKSE Plugins for this runtime",
          shown.c_str());
      return false;
    case platform::FileRead::kUnreadable:
    case platform::FileRead::kTooLarge:
      log::LogMessage("Address Library file %s: cannot be read", shown.c_str());
      return false;
  }

  std::array<std::uint64_t, kMaxLibraryIds> ids{};
  const std::size_t idCount = LibraryIdsNeeded(runtime.family, ids.data(), ids.size());
  if (idCount > ids.size()) {
    log::LogMessage("Address Library: %zu ids needed, room for %zu", idCount, ids.size());
    return false;
  }
  std::array<std::uint64_t, kMaxLibraryIds> offsets{};
  const VersionParts v = PartsOf(runtimeVersion);
  const LibraryRequest request{
      runtime.libraryFormat, {v.major, v.minor, v.build, v.sub}, GameImageSize(ModuleBase), ids.data(), idCount,
      offsets.data()};
  const LibraryOutcome outcome = ResolveAddressLibraryIds(bytes.data(), bytes.size(), request);
  if (outcome.fault != LibraryFault::kNone) {
    char line[512];
    DescribeLibraryOutcome(outcome, shown.c_str(), line, sizeof line);
    log::LogMessage("%s", line);
    return false;
  }
  // Silent when all is well: the log reads the same on every runtime.
  Bindings = FormBindingsFromLibrary(ModuleBase, runtime.family, offsets.data());
  return true;
}

}  // namespace qm::game
