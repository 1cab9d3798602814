// World sections for the settings: the game's plug-in files in load order.
#include "data_handler.h"
#include "run_context.h"
#include "scenario.h"

#include <optional>

namespace qm::scenario {
namespace {

// "plugins": ["Skyrim.esm", "Update.esm", ...]; the position in the list is
// the load order. null stands for a list node without a file record.
Step ParsePlugins(const Json& section, const std::string& place) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list of plug-in file names");
  std::vector<std::optional<std::string>> files;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string itemPlace = place + "[" + std::to_string(i) + "]";
    if (section[i].is_null()) {
      files.emplace_back(std::nullopt);
      continue;
    }
    std::string name = ReadString(section[i], itemPlace);
    if (name.size() >= sizeof(gd::TESFileRecord::fileName)) throw ScenarioError(itemPlace, "file name too long");
    files.emplace_back(std::move(name));
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
