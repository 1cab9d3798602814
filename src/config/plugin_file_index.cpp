#include "config/plugin_file_index.h"

#include "config/no_break_forms.h"
#include "game/game_bindings.h"

namespace qm::config {
namespace {

char Folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The record's name is a fixed array: never read past it, even when the game
// left it without a NUL.
bool SameFileName(const char (&recordName)[260], const std::string& fileName) {
  if (fileName.size() >= sizeof recordName) return false;
  for (std::size_t i = 0; i < fileName.size(); ++i) {
    if (Folded(recordName[i]) != Folded(fileName[i])) return false;
  }
  return recordName[fileName.size()] == '\0';
}

}  // namespace

std::uint8_t FindPluginFileIndex(const std::string& fileName) {
  const auto* dataHandler = static_cast<const game::DataHandler*>(*game::Bindings.DataHandler);
  return FindPluginFileIndexIn(dataHandler, fileName);
}

std::uint8_t FindPluginFileIndexIn(const game::DataHandler* dataHandler, const std::string& fileName) {
  if (dataHandler == nullptr || fileName.empty()) return kPluginFileNotFound;
  // Only positions 0 to 254 can be a top byte of the file's own forms (255
  // means not found); a file further down the list is treated as absent
  // rather than wrapped onto another file's forms. That also bounds the walk.
  std::uint32_t position = 0;
  for (const game::PluginFileNode* node = &dataHandler->files; node != nullptr && position < kPluginFileNotFound;
       node = node->next, ++position) {
    if (node->file == nullptr) return kPluginFileNotFound;
    if (SameFileName(node->file->fileName, fileName)) return static_cast<std::uint8_t>(position);
  }
  return kPluginFileNotFound;
}

}  // namespace qm::config
