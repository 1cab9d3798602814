#pragma once
// What the host tells the plug-in's POSIX platform layer about the process
// (on Windows the real process answers and this does nothing).
#include <cstdint>
#include <string>

namespace host {

void SetProcessFacts(std::uintptr_t imageBase, const std::string& imagePath, const std::string& documentsFolder,
                     bool documentsLookupFails);

}  // namespace host
