#pragma once
// Whole-file reading and writing for the SWF tools.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::swf {

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& path);
// Writes through a temporary file and a rename, so that a failed run leaves no half file.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace qm::swf
