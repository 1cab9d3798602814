// World section "hdtSinks": sinks of the physics plug-in (and of modules
// without type information) on the menu open/close source; steps that call
// and inspect them.
#include "hdt_sinks.h"
#include "run_context.h"
#include "scenario.h"
#include "ui_layouts.h"
#include "ui_world.h"

namespace qm::scenario {
namespace {

gd::LocatorKind ReadLocator(const Json& value, const std::string& place) {
  const std::string kind = ReadString(value, place);
  if (kind == "valid") return gd::LocatorKind::kValid;
  if (kind == "none") return gd::LocatorKind::kNone;
  if (kind == "unmapped") return gd::LocatorKind::kUnmapped;
  if (kind == "noise") return gd::LocatorKind::kNoise;
  if (kind == "signatureZero") return gd::LocatorKind::kSignatureZero;
  if (kind == "mismatched") return gd::LocatorKind::kMismatched;
  if (kind == "wrongSelf") return gd::LocatorKind::kSelfTooLarge;
  throw ScenarioError(place, "expected valid, none, unmapped, noise, signatureZero, mismatched or wrongSelf");
}

Step ParseHdtSinks(const Json& section, const std::string& place) {
  if (!section.is_array()) throw ScenarioError(place, "expected a list of sinks");
  std::vector<gd::FreezeSinkSpec> specs;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const std::string itemPlace = place + "[" + std::to_string(i) + "]";
    const Json& item = section[i];
    CheckKeys(item, {"class", "locator", "protect", "result"}, itemPlace);
    gd::FreezeSinkSpec spec;
    if (item.contains("class")) spec.decoratedName = ReadString(item["class"], itemPlace + ".class");
    if (item.contains("locator")) spec.locator = ReadLocator(item["locator"], itemPlace + ".locator");
    if (item.contains("protect")) {
      const std::string protect = ReadString(item["protect"], itemPlace + ".protect");
      if (protect != "ok" && protect != "fails") throw ScenarioError(itemPlace + ".protect", "expected ok or fails");
      spec.protectFails = protect == "fails";
    }
    if (item.contains("result")) spec.result = ReadU32(item["result"], itemPlace + ".result");
    specs.push_back(spec);
  }
  return [=](RunContext& run) {
    // World sections run in key order, so the interface may come after.
    gd::UiWorld& ui = run.world().Component<gd::UiWorld>();
    ui.WhenCreated([&run, &ui, specs, place] {
      if (ui.manager() == nullptr) return run.Fail(place, "hdtSinks needs the ui section's menu manager");
      gd::FreezeSinks& sinks = run.world().Component<gd::FreezeSinks>();
      for (const gd::FreezeSinkSpec& spec : specs) {
        run.world().AttachSink(ui.manager()->openCloseSource, sinks.Sink(sinks.Add(spec)));
      }
      run.Trace(std::to_string(specs.size()) + " physics sink(s) on the menu open/close source");
    });
  };
}
QM_WORLD_SECTION("hdtSinks", ParseHdtSinks);

std::size_t ReadSinkIndex(const Json& argument, const std::string& place) {
  return ReadU32(Member(argument, "sink", place), place + ".sink");
}

bool SinkExists(RunContext& run, std::size_t index, const std::string& place) {
  if (index < run.world().Component<gd::FreezeSinks>().count()) return true;
  run.Fail(place, "no physics sink " + std::to_string(index));
  return false;
}

// Every event a sink's own receive function got, in order.
Step ParseExpectFreezeEvents(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"sink", "events"}, place);
  const std::size_t index = ReadSinkIndex(argument, place);
  const Json& list = Member(argument, "events", place);
  if (!list.is_array()) throw ScenarioError(place + ".events", "expected a list");
  std::vector<std::pair<std::string, bool>> expected;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string itemPlace = place + ".events[" + std::to_string(i) + "]";
    CheckKeys(list[i], {"menu", "opening"}, itemPlace);
    expected.emplace_back(ReadString(Member(list[i], "menu", itemPlace), itemPlace + ".menu"),
                          ReadBool(Member(list[i], "opening", itemPlace), itemPlace + ".opening"));
  }
  return [=](RunContext& run) {
    if (!SinkExists(run, index, place)) return;
    const auto& received = run.world().Component<gd::FreezeSinks>().Received(index);
    run.Trace("physics sink " + std::to_string(index) + " received " + std::to_string(received.size()) + " event(s)");
    std::vector<std::pair<std::string, bool>> actual;
    for (const gd::FreezeSinkEvent& event : received) actual.emplace_back(event.menuName, event.opening);
    if (actual == expected) return;
    std::string text;
    for (const auto& [menu, opening] : actual) text += " " + menu + (opening ? "+" : "-");
    run.Fail(place, "received:" + (text.empty() ? std::string(" nothing") : text));
  };
}
QM_SCENARIO_STEP("expectFreezeEvents", ParseExpectFreezeEvents);

Step ParseExpectFreezeSlot(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"sink", "filtered"}, place);
  const std::size_t index = ReadSinkIndex(argument, place);
  const bool filtered = ReadBool(Member(argument, "filtered", place), place + ".filtered");
  return [=](RunContext& run) {
    if (!SinkExists(run, index, place)) return;
    const bool replaced = run.world().Component<gd::FreezeSinks>().ReceiveSlotReplaced(index);
    run.Trace("physics sink " + std::to_string(index) + (replaced ? ": receive slot replaced" : ": own receive slot"));
    if (replaced != filtered)
      run.Fail(place, replaced ? "the receive slot was replaced" : "the receive slot is unchanged");
    // Whatever was done to it, the table's page is read-only again.
    if (run.world().Component<gd::FreezeSinks>().TablePageWritable(index)) {
      run.Fail(place, "the class table's page was left writable");
    }
  };
}
QM_SCENARIO_STEP("expectFreezeSlot", ParseExpectFreezeSlot);

// Calls slot 1 of a sink's class table, whatever it holds now, the way the
// game's dispatch calls it, and checks the result.
Step ParseFreezeEvent(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"sink", "menu", "opening", "expect"}, place);
  const std::size_t index = ReadSinkIndex(argument, place);
  const std::string menu = ReadString(Member(argument, "menu", place), place + ".menu");
  const bool opening = ReadBool(Member(argument, "opening", place), place + ".opening");
  const std::uint32_t expected = ReadU32(Member(argument, "expect", place), place + ".expect");
  return [=](RunContext& run) {
    if (!SinkExists(run, index, place)) return;
    gd::MenuManagerObj* manager = run.world().Component<gd::UiWorld>().manager();
    if (manager == nullptr) return run.Fail(place, "the game has no menu manager");
    gd::EventSinkObj* sink = run.world().Component<gd::FreezeSinks>().Sink(index);
    gd::MenuOpenCloseEventRec event{};
    event.menuName.text = run.world().strings().Intern(menu.c_str());
    event.opening = opening ? 1 : 0;
    const std::uint32_t result = sink->vtbl->receive(sink, &event, &manager->openCloseSource);
    run.Trace("\"" + menu + "\" " + (opening ? "opening" : "closing") + " to physics sink " + std::to_string(index) +
              " -> " + std::to_string(result));
    if (result != expected) run.Fail(place, "the receive slot returned " + std::to_string(result));
  };
}
QM_SCENARIO_STEP("freezeEvent", ParseFreezeEvent);

}  // namespace
}  // namespace qm::scenario
