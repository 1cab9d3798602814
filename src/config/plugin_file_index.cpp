#include "config/plugin_file_index.h"

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

// The game's list holds files it has not loaded too, so the place of a file
// in it is no index of its forms; the record's own indices are.
PluginFileSlot SlotOf(const game::PluginFileRecord& file) {
  if (file.loadOrderIndex == game::kPluginFileNotLoaded) return {PluginFileSlot::Kind::NotActive, 0};
  if ((file.fileFlags & game::kLightPluginFileFlag) != 0) return {PluginFileSlot::Kind::Light, file.lightIndex};
  return {PluginFileSlot::Kind::Regular, file.loadOrderIndex};
}

}  // namespace

PluginFileSlot FindPluginFile(const std::string& fileName) {
  const auto* dataHandler = static_cast<const game::DataHandler*>(*game::Bindings.DataHandler);
  return FindPluginFileIn(dataHandler, fileName);
}

PluginFileSlot FindPluginFileIn(const game::DataHandler* dataHandler, const std::string& fileName) {
  if (dataHandler == nullptr || fileName.empty()) return {};
  for (const game::PluginFileNode* node = &dataHandler->files; node != nullptr; node = node->next) {
    if (node->file == nullptr) return {};
    if (SameFileName(node->file->fileName, fileName)) return SlotOf(*node->file);
  }
  return {};
}

}  // namespace qm::config
