// World section "ui": the game's user interface (menu manager, movie layer,
// input and action sources). Without it the game has no menu manager.
#include "run_context.h"
#include "scenario.h"
#include "ui_run_marks.h"
#include "ui_world.h"

namespace qm::scenario {
namespace {

Step ParseUiSection(const Json& section, const std::string& place) {
  CheckKeys(section, {"menuManager", "movie", "triggerMenu", "blockingMenu", "menuTableSize", "openMenus"}, place);
  gd::UiOptions options;
  if (section.contains("menuManager")) options.menuManager = ReadBool(section["menuManager"], place + ".menuManager");
  if (section.contains("movie")) {
    const std::string movie = ReadString(section["movie"], place + ".movie");
    if (movie != "loads" && movie != "fails") throw ScenarioError(place + ".movie", "expected \"loads\" or \"fails\"");
    options.movieLoads = movie == "loads";
  }
  if (section.contains("triggerMenu")) options.triggerMenu = ReadString(section["triggerMenu"], place + ".triggerMenu");
  if (section.contains("blockingMenu")) {
    options.blockingMenu = ReadString(section["blockingMenu"], place + ".blockingMenu");
  }
  if (section.contains("menuTableSize")) {
    const std::uint32_t size = ReadU32(section["menuTableSize"], place + ".menuTableSize");
    if (size == 0 || (size & (size - 1)) != 0 || size > 1024) {
      throw ScenarioError(place + ".menuTableSize", "expected a power of two up to 1024");
    }
    options.menuTableCapacity = size;
  }
  std::vector<std::pair<std::string, std::uint32_t>> openMenus;
  if (section.contains("openMenus")) {
    const Json& list = section["openMenus"];
    if (!list.is_array()) throw ScenarioError(place + ".openMenus", "expected a list of menus");
    for (std::size_t i = 0; i < list.size(); ++i) {
      openMenus.push_back(ReadMenuSpec(list[i], place + ".openMenus[" + std::to_string(i) + "]"));
    }
  }
  return [=](RunContext& run) {
    gd::UiWorld& ui = run.world().Component<gd::UiWorld>();
    ui.Create(options);
    // The script extender's action events (dispatcher 3).
    run.host().SetEventDispatcher(3, &ui.ActionSource());
    for (const auto& [name, flags] : openMenus) ui.OpenMenu(name, flags);
    run.world().Component<UiRunMarks>().Mark(run.world());
    run.Trace(std::string("user interface: menu manager ") + (options.menuManager ? "present" : "absent") + ", movie " +
              (options.movieLoads ? "loads" : "fails"));
  };
}
QM_WORLD_SECTION("ui", ParseUiSection);

}  // namespace
}  // namespace qm::scenario
