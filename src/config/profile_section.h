#pragma once
// The settings files as the platform's profile functions deliver them: the
// entries of one section, or the names of all sections, each as one text.
#include <string>
#include <vector>

namespace qm::config {

// The profile functions fill at most this many bytes; what does not fit is lost.
inline constexpr std::size_t kProfileBufferSize = 0x8000;

// The entries of a section (matched without regard to case), in file order.
// A missing or unreadable file, or a missing section, gives an empty list.
std::vector<std::string> ReadProfileSection(const std::string& section, const std::string& path);

// The names of the file's sections, in file order.
std::vector<std::string> ReadProfileSectionNames(const std::string& path);

// Ascending by plain byte-wise comparison; entries are applied in this order,
// so of a repeated key the entry that sorts last decides.
void SortEntries(std::vector<std::string>& entries);

}  // namespace qm::config
