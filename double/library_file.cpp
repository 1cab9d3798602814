#include "library_file.h"

#include "address_library_writer.h"

#include <utility>

namespace gd {
namespace {

struct Parts {
  std::uint32_t major, minor, build, sub;
};

Parts PartsOf(std::uint32_t v) { return {v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 4 & 0xFFF, v & 0xF}; }

}  // namespace

std::string LibraryFileName(const RuntimeOffsets& runtime) {
  if (runtime.libraryFormat == 0) return {};
  const Parts v = PartsOf(runtime.runtimeVersion);
  return std::string(runtime.libraryFormat == 1 ? "version-" : "versionlib-") + std::to_string(v.major) + "-" +
         std::to_string(v.minor) + "-" + std::to_string(v.build) + "-" + std::to_string(v.sub) + ".bin";
}

std::vector<std::uint8_t> LibraryFileFor(const RuntimeOffsets& runtime) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> idOffsets;
  for (const Placed& placed : EveryPlaced(runtime)) {
    if (placed.id != 0 && placed.offset != 0) idOffsets.emplace_back(placed.id, placed.offset);
  }
  const Parts v = PartsOf(runtime.runtimeVersion);
  const std::uint32_t version[4] = {v.major, v.minor, v.build, v.sub};
  return WriteAddressLibrary(runtime.libraryFormat, version, idOffsets);
}

}  // namespace gd
