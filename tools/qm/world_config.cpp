// World sections for the settings: the plug-in files the game knows.
#include "data_handler.h"
#include "run_context.h"
#include "scenario.h"

#include <optional>

namespace qm::scenario {
namespace {

// One file: a name stands for a loaded regular file; an object
// {"name", "active", "light", "index", "lightIndex"} for any other, numbered
// as the game numbers it unless "index" or "lightIndex" forces a value.
gd::PluginFileSetup ReadPluginFile(const Json& item, const std::string& place) {
  gd::PluginFileSetup file;
  if (!item.is_object()) {
    file.name = ReadString(item, place);
  } else {
    CheckKeys(item, {"name", "active", "light", "index", "lightIndex"}, place);
    file.name = ReadString(Member(item, "name", place), place + ".name");
    if (item.contains("active")) file.active = ReadBool(item["active"], place + ".active");
    if (item.contains("light")) file.light = ReadBool(item["light"], place + ".light");
    if (item.contains("index")) {
      const std::uint32_t index = ReadU32(item["index"], place + ".index");
      if (index > 0xFF) throw ScenarioError(place + ".index", "a load-order index is one byte (0 to 255)");
      file.compileIndex = static_cast<std::uint8_t>(index);
    }
    if (item.contains("lightIndex")) {
      const std::uint32_t index = ReadU32(item["lightIndex"], place + ".lightIndex");
      if (index > 0xFFFF) throw ScenarioError(place + ".lightIndex", "a light index is 16 bits (0 to 65535)");
      file.lightIndex = static_cast<std::uint16_t>(index);
    }
  }
  if (file.name.size() >= sizeof(gd::TESFileRecord::fileName)) throw ScenarioError(place, "file name too long");
  return file;
}

// "plugins": ["Skyrim.esm", "Update.esm", {"name": "Old.esp", "active":
// false}, ...] in the order of the game's list. null stands for a list node
// without a file record.
Step ParsePlugins(const Json& section, const std::string& place) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list of plug-in files");
  std::vector<std::optional<gd::PluginFileSetup>> files;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string itemPlace = place + "[" + std::to_string(i) + "]";
    if (section[i].is_null()) {
      files.emplace_back(std::nullopt);
      continue;
    }
    files.emplace_back(ReadPluginFile(section[i], itemPlace));
  }
  return [files](RunContext& run) {
    gd::DataHandler& dataHandler = run.world().Component<gd::DataHandler>();
    for (const auto& file : files) {
      if (file) {
        dataHandler.AddPluginFile(*file);
      } else {
        dataHandler.AddEmptyNode();
      }
    }
    run.Trace("plug-in files: " + std::to_string(files.size()));
  };
}
QM_WORLD_SECTION("plugins", ParsePlugins);

}  // namespace
}  // namespace qm::scenario
