#pragma once
// Address Library files as players install them, made for the double's
// runtimes and for the tests of the plug-in's reader. Written from the file's
// published layout, apart from the plug-in's reader: a misreading on either
// side shows as a wrong offset.
#include <cstdint>
#include <utility>
#include <vector>

namespace gd {

// A complete file of the given format (1: version-*.bin, 2: versionlib-*.bin)
// for SkyrimSE.exe of `version`, holding every (id, offset) pair, sorted by
// id, with records of other ids between them as a real file has. Each record
// is written in the encoding used least so far among those its values allow,
// so that a file of a few hundred records holds every type byte it can.
// Throws std::invalid_argument for an id given twice.
std::vector<std::uint8_t> WriteAddressLibrary(std::uint32_t format, const std::uint32_t (&version)[4],
                                              const std::vector<std::pair<std::uint64_t, std::uint64_t>>& idOffsets);

}  // namespace gd
