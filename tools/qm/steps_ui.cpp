// Steps that drive the game's user interface (saves loading, frames, menus,
// keys, weapons) and expectations on what the widget's movie received.
#include "run_context.h"
#include "scenario.h"
#include "ui_run_marks.h"
#include "ui_world.h"

#include <sstream>

namespace qm::scenario {
namespace {

gd::UiWorld& Ui(RunContext& run) { return run.world().Component<gd::UiWorld>(); }

std::string Number(double value) {
  std::ostringstream out;
  out.precision(17);
  out << value;
  return out.str();
}

// A save has loaded: the menu named at interface string 0xE8 (the loading
// screen) opens and then closes, a frame after each.
Step ParseLoadSave(const Json& argument, const std::string& place) {
  if (!argument.is_object() || !argument.empty()) throw ScenarioError(place, "expected {}");
  return [](RunContext& run) {
    gd::UiWorld& ui = Ui(run);
    const std::string trigger = ui.options().triggerMenu;
    run.Trace("a save loads: \"" + trigger + "\" opens and closes");
    if (!ui.IsOpen(trigger)) ui.OpenMenu(trigger, 0);
    ui.Frames(1);
    ui.CloseMenu(trigger);
    ui.Frames(1);
  };
}
QM_SCENARIO_STEP("loadSave", ParseLoadSave);

Step ParseFrames(const Json& argument, const std::string& place) {
  const std::uint32_t count = ReadU32(argument, place);
  return [=](RunContext& run) {
    run.Trace(std::to_string(count) + " frame(s)");
    Ui(run).Frames(count);
  };
}
QM_SCENARIO_STEP("frames", ParseFrames);

Step ParseOpenMenu(const Json& argument, const std::string& place) {
  const std::pair<std::string, std::uint32_t> menu = ReadMenuSpec(argument, place);
  const std::string name = menu.first;
  const std::uint32_t flags = menu.second;
  return [=](RunContext& run) {
    run.Trace("menu \"" + name + "\" opens (flags " + std::to_string(flags) + ")");
    Ui(run).OpenMenu(name, flags);
  };
}
QM_SCENARIO_STEP("openMenu", ParseOpenMenu);

Step ParseCloseMenu(const Json& argument, const std::string& place) {
  const std::string name = ReadString(argument, place);
  return [=](RunContext& run) {
    run.Trace("menu \"" + name + "\" closes");
    Ui(run).CloseMenu(name);
  };
}
QM_SCENARIO_STEP("closeMenu", ParseCloseMenu);

// A menu open/close event on the manager's source without any menu behind
// it: a name the game never registered, or no name at all.
Step ParseMenuEvent(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"name", "opening"}, place);
  const Json& nameValue = Member(argument, "name", place);
  const bool hasName = !nameValue.is_null();
  const std::string name = hasName ? ReadString(nameValue, place + ".name") : "";
  const bool opening = ReadBool(Member(argument, "opening", place), place + ".opening");
  return [=](RunContext& run) {
    gd::MenuManagerObj* manager = Ui(run).manager();
    if (manager == nullptr) return run.Fail(place, "the game has no menu manager");
    run.Trace(std::string("menu event ") + (hasName ? "\"" + name + "\"" : "without a name") +
              (opening ? " opening" : " closing"));
    gd::MenuOpenCloseEventRec event{};
    event.menuName.text = hasName ? run.world().strings().Intern(name.c_str()) : nullptr;
    event.opening = opening ? 1 : 0;
    run.world().Dispatch(manager->openCloseSource, &event);
  };
}
QM_SCENARIO_STEP("menuEvent", ParseMenuEvent);

std::uint32_t ReadDevice(const Json& value, const std::string& place) {
  if (value.is_string()) {
    const std::string name = value.get<std::string>();
    if (name == "keyboard") return 0;
    if (name == "mouse") return 1;
    if (name == "gamepad") return 2;
    throw ScenarioError(place, "expected keyboard, mouse, gamepad or a number");
  }
  return ReadU32(value, place);
}

gd::InputSpec ReadInput(const Json& value, const std::string& place) {
  CheckKeys(value, {"device", "code", "value", "held", "type"}, place);
  gd::InputSpec spec;
  spec.device = ReadDevice(Member(value, "device", place), place + ".device");
  spec.keyCode = ReadU32(Member(value, "code", place), place + ".code");
  if (value.contains("value")) spec.value = ReadFloat(value["value"], place + ".value");
  if (value.contains("held")) spec.heldSeconds = ReadFloat(value["held"], place + ".held");
  if (value.contains("type")) spec.eventType = ReadU32(value["type"], place + ".type");
  return spec;
}

// One delivery of the input source: one event or a chain of them.
Step ParseInput(const Json& argument, const std::string& place) {
  std::vector<gd::InputSpec> chain;
  if (argument.is_array()) {
    if (argument.empty()) throw ScenarioError(place, "a delivery holds at least one event");
    for (std::size_t i = 0; i < argument.size(); ++i) {
      chain.push_back(ReadInput(argument[i], place + "[" + std::to_string(i) + "]"));
    }
  } else {
    chain.push_back(ReadInput(argument, place));
  }
  return [=](RunContext& run) {
    run.Trace("input: " + std::to_string(chain.size()) + " event(s), first code " + std::to_string(chain[0].keyCode));
    Ui(run).DeliverInput(chain);
  };
}
QM_SCENARIO_STEP("input", ParseInput);

StepParser ParseWeaponAction(std::uint32_t type) {
  return [type](const Json& argument, const std::string& place) -> Step {
    const std::string actor = ReadString(argument, place);
    if (actor != "player" && actor != "other") throw ScenarioError(place, "expected \"player\" or \"other\"");
    const bool byPlayer = actor == "player";
    return [=](RunContext& run) {
      run.Trace(std::string("weapon ") + (type == 8 ? "drawn" : "sheathed") + " by " + actor);
      Ui(run).DeliverAction(type, byPlayer);
    };
  };
}
QM_SCENARIO_STEP("weaponDrawn", ParseWeaponAction(8));
QM_SCENARIO_STEP("weaponSheathed", ParseWeaponAction(10));

// An action event of any type, for the types the widget must ignore.
Step ParseAction(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"type", "actor"}, place);
  const std::uint32_t type = ReadU32(Member(argument, "type", place), place + ".type");
  const std::string actor = ReadString(Member(argument, "actor", place), place + ".actor");
  if (actor != "player" && actor != "other") throw ScenarioError(place + ".actor", "expected \"player\" or \"other\"");
  return [=](RunContext& run) {
    run.Trace("action " + std::to_string(type) + " by " + actor);
    Ui(run).DeliverAction(type, actor == "player");
  };
}
QM_SCENARIO_STEP("action", ParseAction);

Step ParseMovieHeapFail(const Json& argument, const std::string& place) {
  const std::uint32_t n = ReadU32(argument, place);
  return [=](RunContext& run) {
    run.Trace(n == 0 ? "movie heap allocations succeed" : "movie heap allocation " + std::to_string(n) + " fails");
    Ui(run).movieHeapModel().FailAllocation(n);
  };
}
QM_SCENARIO_STEP("movieHeapFail", ParseMovieHeapFail);

Step ParseMovieLoads(const Json& argument, const std::string& place) {
  const bool loads = ReadBool(argument, place);
  return [=](RunContext& run) {
    run.Trace(std::string("movies ") + (loads ? "load" : "fail to load"));
    Ui(run).SetMovieLoads(loads);
  };
}
QM_SCENARIO_STEP("movieLoads", ParseMovieLoads);

// ---- expectations ------------------------------------------------------------

std::string Describe(const gd::RecordedValue& value) {
  if (value.type == gd::kValueNumber) return Number(value.number);
  if (value.type == gd::kValueString) return "\"" + value.text + "\"";
  if (value.type == gd::kValueArray) return "[" + std::to_string(value.elements.size()) + " elements]";
  return "undefined";
}

// Exact comparison of one recorded value with a JSON number or string.
bool Matches(const gd::RecordedValue& actual, const Json& expected) {
  if (expected.is_number()) return actual.type == gd::kValueNumber && actual.number == expected.get<double>();
  if (expected.is_string()) return actual.type == gd::kValueString && actual.text == expected.get<std::string>();
  return false;
}

void CheckValues(RunContext& run, const std::string& place, const std::string& what,
                 const std::vector<gd::RecordedValue>& actual, const Json& expected) {
  if (actual.size() != expected.size()) {
    run.Fail(place,
             what + ": " + std::to_string(actual.size()) + " values, expected " + std::to_string(expected.size()));
    return;
  }
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (!Matches(actual[i], expected[i])) {
      run.Fail(place,
               what + "[" + std::to_string(i) + "] is " + Describe(actual[i]) + ", expected " + expected[i].dump());
    }
  }
}

void CheckValueList(const Json& list, const std::string& place) {
  if (!list.is_array()) throw ScenarioError(place, "expected a list of numbers or strings");
  for (const Json& item : list) {
    if (!item.is_number() && !item.is_string()) throw ScenarioError(place, "expected numbers or strings");
  }
}

constexpr const char* kSetupPath = "_root.widget.Setup";
constexpr const char* kUpdatePath = "_root.widget.UpdateMenu";

// The arguments of the latest Setup call, exactly.
Step ParseExpectSetup(const Json& argument, const std::string& place) {
  CheckValueList(argument, place);
  return [=](RunContext& run) {
    const gd::RecordedInvoke* setup = Ui(run).LastInvoke(kSetupPath);
    run.Trace("expect Setup " + argument.dump());
    if (setup == nullptr) return run.Fail(place, "the movie never received Setup");
    if (setup->hadResult) run.Fail(place, "Setup was invoked with a result value");
    CheckValues(run, place, "Setup arguments", setup->args, argument);
  };
}
QM_SCENARIO_STEP("expectSetup", ParseExpectSetup);

// The four columns of the latest UpdateMenu call; each one optional.
Step ParseExpectUpdateMenu(const Json& argument, const std::string& place) {
  static const char* const kColumns[4] = {"icons", "names", "durabilities", "colors"};
  CheckKeys(argument, {"icons", "names", "durabilities", "colors"}, place);
  for (const char* column : kColumns) {
    if (argument.contains(column)) CheckValueList(argument[column], place + "." + column);
  }
  return [=](RunContext& run) {
    const gd::RecordedInvoke* update = Ui(run).LastInvoke(kUpdatePath);
    run.Trace("expect UpdateMenu " + argument.dump());
    if (update == nullptr) return run.Fail(place, "the movie never received UpdateMenu");
    if (update->args.size() != 4) return run.Fail(place, "UpdateMenu takes four arrays");
    for (std::size_t i = 0; i < 4; ++i) {
      if (update->args[i].type != gd::kValueArray) run.Fail(place, std::string(kColumns[i]) + " is not an array");
      if (argument.contains(kColumns[i])) {
        CheckValues(run, place, kColumns[i], update->args[i].elements, argument[kColumns[i]]);
      }
    }
  };
}
QM_SCENARIO_STEP("expectUpdateMenu", ParseExpectUpdateMenu);

// How many times each movie function was invoked since the run began.
Step ParseExpectInvokes(const Json& argument, const std::string& place) {
  if (!argument.is_object()) throw ScenarioError(place, "expected an object of path: count");
  std::vector<std::pair<std::string, std::uint32_t>> counts;
  for (auto it = argument.begin(); it != argument.end(); ++it) {
    counts.emplace_back(it.key(), ReadU32(it.value(), place + "." + it.key()));
  }
  return [=](RunContext& run) {
    for (const auto& [path, count] : counts) {
      const std::size_t actual = Ui(run).InvokeCount(path);
      run.Trace("expect " + path + " invoked " + std::to_string(count) + " time(s): " + std::to_string(actual));
      if (actual != count) run.Fail(place, path + " invoked " + std::to_string(actual) + " time(s)");
    }
  };
}
QM_SCENARIO_STEP("expectInvokes", ParseExpectInvokes);

Step ParseExpectWidgetOpen(const Json& argument, const std::string& place) {
  const bool expected = ReadBool(argument, place);
  return [=](RunContext& run) {
    const bool open = Ui(run).IsOpen(std::string(gd::kWidgetMenuName));
    run.Trace(std::string("widget ") + (open ? "open" : "not open"));
    if (open != expected) run.Fail(place, open ? "the widget is open" : "the widget is not open");
  };
}
QM_SCENARIO_STEP("expectWidgetOpen", ParseExpectWidgetOpen);

Step ParseExpectVisible(const Json& argument, const std::string& place) {
  const bool expected = ReadBool(argument, place);
  return [=](RunContext& run) {
    gd::MovieViewObj* view = Ui(run).WidgetView();
    if (view == nullptr) return run.Fail(place, "the widget has no open movie");
    const bool visible = Ui(run).Visible(view);
    run.Trace(std::string("widget movie ") + (visible ? "visible" : "hidden"));
    if (visible != expected) run.Fail(place, visible ? "the movie is visible" : "the movie is hidden");
  };
}
QM_SCENARIO_STEP("expectVisible", ParseExpectVisible);

// The widget's state after some openings and closings: nothing it took from
// the game is still held beyond the mark (set when the world was made).
Step ParseMarkBalance(const Json& argument, const std::string& place) {
  if (!argument.is_object() || !argument.empty()) throw ScenarioError(place, "expected {}");
  return [](RunContext& run) {
    run.Trace("heaps marked");
    run.world().Component<UiRunMarks>().Mark(run.world());
  };
}
QM_SCENARIO_STEP("markBalance", ParseMarkBalance);

Step ParseExpectBalanced(const Json& argument, const std::string& place) {
  if (!argument.is_object() || !argument.empty()) throw ScenarioError(place, "expected {}");
  return [=](RunContext& run) {
    const UiRunMarks& marks = run.world().Component<UiRunMarks>();
    gd::UiWorld& ui = Ui(run);
    const std::size_t movie = ui.movieHeapModel().LiveBlocks();
    const std::size_t game = run.world().heap().LiveBlocks();
    const std::uint64_t managed = ui.LiveManagedValues();
    run.Trace("balance: movie heap " + std::to_string(movie) + " block(s), game heap " + std::to_string(game) +
              ", managed values " + std::to_string(managed));
    if (movie != marks.movieHeapBlocks) {
      run.Fail(place, "movie heap holds " + std::to_string(movie) + " block(s), " +
                          std::to_string(marks.movieHeapBlocks) + " at the mark");
    }
    if (game != marks.gameHeapBlocks) {
      run.Fail(place, "game heap holds " + std::to_string(game) + " block(s), " + std::to_string(marks.gameHeapBlocks) +
                          " at the mark");
    }
    if (managed != 0) run.Fail(place, std::to_string(managed) + " managed movie value(s) still referenced");
  };
}
QM_SCENARIO_STEP("expectBalanced", ParseExpectBalanced);

}  // namespace
}  // namespace qm::scenario
