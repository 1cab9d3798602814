// Steps that drive the durability engine as the game does (hits, update
// events) and expectations on what it did to the items (health, inventory,
// notifications). Every hit and update prints what changed on the named items.
#include "engine_events.h"
#include "forms.h"
#include "hud.h"
#include "items.h"
#include "references.h"
#include "run_context.h"
#include "scenario.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace qm::scenario {
namespace {

const Json* Optional(const Json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::string HealthText(std::optional<float> health) {
  if (!health) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(*health));
  return text;
}

// Health and presence of every named item, to report what one event changed.
struct ItemState {
  std::optional<float> health;
  bool present;
};

std::vector<ItemState> Snapshot(gd::World& world) {
  const gd::Items& items = world.Component<gd::Items>();
  std::vector<ItemState> states;
  for (const gd::NamedItem& item : items.All()) states.push_back({items.Health(item), items.Present(item)});
  return states;
}

// The health at or below which the plug-in lets an item break, from its
// settings dump in the log (1.0 until the settings have been read).
float ThresholdFromLog(RunContext& run) {
  static const std::string kKey = "   equipmenthealththreshold  =  ";
  for (const std::string& line : run.ReadLog()) {
    if (line.rfind(kKey, 0) != 0) continue;
    const auto value = static_cast<std::uint32_t>(std::strtoll(line.c_str() + kKey.size(), nullptr, 10));
    if (value == 0) return 1.0f;
    const float scaled = static_cast<float>(value) * 0.001f;
    return scaled + 1.0f;
  }
  return 1.0f;
}

// Items at or below the threshold make a break roll (when their category's
// chance is not 0 and they may break at all); the trace says so.
std::string BreakRollNote(std::optional<float> before, float threshold, bool broke) {
  if (before.value_or(1.0f) > threshold) return broke ? ", broke above the threshold" : "";
  return std::string(", at or below the threshold ") + HealthText(threshold) + ": break roll, " +
         (broke ? "broke" : "kept");
}

void TraceChanges(RunContext& run, const std::vector<ItemState>& before, bool afterHit) {
  const gd::Items& items = run.world().Component<gd::Items>();
  const std::vector<ItemState> after = Snapshot(run.world());
  const float threshold = afterHit ? ThresholdFromLog(run) : 0.0f;
  bool any = false;
  for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
    const gd::NamedItem& item = items.All()[i];
    if (before[i].present && !after[i].present) {
      run.Trace("  " + item.id + ": broken, removed from " +
                run.world().Component<gd::References>().NameOf(item.holder) + " (health " +
                HealthText(after[i].health) + ")" + (afterHit ? BreakRollNote(before[i].health, threshold, true) : ""));
      any = true;
    } else if (before[i].health != after[i].health) {
      run.Trace("  " + item.id + ": health " + HealthText(before[i].health) + " -> " + HealthText(after[i].health) +
                (afterHit ? BreakRollNote(before[i].health, threshold, false) : ""));
      any = true;
    }
  }
  if (!any) run.Trace("  no item changed");
}

gd::ReferenceRec* Reference(RunContext& run, const std::optional<std::string>& name, const std::string& place) {
  if (!name) return nullptr;
  gd::ReferenceRec* reference = run.world().Component<gd::References>().Find(*name);
  if (reference == nullptr) run.Fail(place, "no reference named " + *name);
  return reference;
}

std::optional<std::string> ReadReferenceName(const Json& argument, const char* key, const std::string& place) {
  const Json* value = Optional(argument, key);
  if (value == nullptr || value->is_null()) return std::nullopt;
  std::string name = ReadString(*value, place + "." + key);
  UseWorldName(NameKind::Reference, name, place + "." + key);
  return name;
}

// A hit as the game reports it: target, cause, source form id, flags.
Step ParseHit(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"target", "cause", "source", "powerAttack", "blocked", "projectile", "flags"}, place);
  const auto target = ReadReferenceName(argument, "target", place);
  const auto cause = ReadReferenceName(argument, "cause", place);
  const std::uint32_t source = ReadU32(Member(argument, "source", place), place + ".source");
  std::uint32_t flags = 0;
  if (const Json* raw = Optional(argument, "flags")) flags = ReadU32(*raw, place + ".flags");
  if (const Json* power = Optional(argument, "powerAttack"); power && ReadBool(*power, place + ".powerAttack")) {
    flags |= gd::kHitPowerAttack;
  }
  if (const Json* blocked = Optional(argument, "blocked"); blocked && ReadBool(*blocked, place + ".blocked")) {
    flags |= gd::kHitBlocked;
  }
  std::uint32_t projectile = 0;
  if (const Json* value = Optional(argument, "projectile")) projectile = ReadU32(*value, place + ".projectile");
  return [=](RunContext& run) {
    gd::ReferenceRec* targetRef = Reference(run, target, place + ".target");
    gd::ReferenceRec* causeRef = Reference(run, cause, place + ".cause");
    if ((target && targetRef == nullptr) || (cause && causeRef == nullptr)) return;
    gd::World& world = run.world();
    std::string line = "hit " + target.value_or("(none)") + " by " + cause.value_or("(none)") + " with " +
                       world.Component<gd::Forms>().NameOf(world.Component<gd::Forms>().Find(source));
    if (world.Component<gd::Forms>().Find(source) == nullptr) {
      char id[16];
      std::snprintf(id, sizeof id, "%08X", source);
      line += std::string(" ") + id;
    }
    if ((flags & gd::kHitPowerAttack) != 0) line += ", power attack";
    if ((flags & gd::kHitBlocked) != 0) line += ", blocked";
    run.Trace(line);
    const std::vector<ItemState> before = Snapshot(world);
    gd::DispatchHit(world, targetRef, causeRef, source, flags, projectile);
    TraceChanges(run, before, true);
  };
}
QM_SCENARIO_STEP("hit", ParseHit);

// Update events, as the game sends one per frame: a count, or {"count": n}.
Step ParseUpdate(const Json& argument, const std::string& place) {
  std::uint32_t count = 0;
  if (argument.is_object()) {
    CheckKeys(argument, {"count"}, place);
    count = ReadU32(Member(argument, "count", place), place + ".count");
  } else {
    count = ReadU32(argument, place);
  }
  if (count == 0) throw ScenarioError(place, "a count of at least 1");
  return [=](RunContext& run) {
    run.Trace(count == 1 ? std::string("update event") : std::to_string(count) + " update events");
    const std::vector<ItemState> before = Snapshot(run.world());
    // One frame each: the game's update event, then the script extender's
    // tasks of that frame.
    for (std::uint32_t i = 0; i < count; ++i) {
      gd::DispatchUpdate(run.world());
      run.host().RunFrameTasks();
    }
    TraceChanges(run, before, false);
  };
}
QM_SCENARIO_STEP("update", ParseUpdate);

// {"item": number | "none" | [low, high]}: exact health (as a float), no
// health entry, or health in [low, high).
Step ParseExpectHealth(const Json& argument, const std::string& place) {
  if (!argument.is_object() || argument.empty()) throw ScenarioError(place, "expected {\"item\": health, ...}");
  struct Expectation {
    std::string item;
    enum class Kind { Exact, None, Range } kind;
    float exact = 0;
    double low = 0, high = 0;
  };
  std::vector<Expectation> expectations;
  for (auto it = argument.begin(); it != argument.end(); ++it) {
    const std::string at = place + "." + it.key();
    UseWorldName(NameKind::Item, it.key(), at);
    Expectation e{it.key(), Expectation::Kind::Exact};
    if (it->is_string()) {
      if (it->get<std::string>() != "none") throw ScenarioError(at, "expected a number, \"none\" or [low, high]");
      e.kind = Expectation::Kind::None;
    } else if (it->is_array()) {
      if (it->size() != 2) throw ScenarioError(at, "expected [low, high]");
      e.kind = Expectation::Kind::Range;
      e.low = ReadNumber((*it)[0], at);
      e.high = ReadNumber((*it)[1], at);
    } else {
      e.exact = ReadFloat(*it, at);
    }
    expectations.push_back(e);
  }
  return [=](RunContext& run) {
    const gd::Items& items = run.world().Component<gd::Items>();
    for (const Expectation& e : expectations) {
      const gd::NamedItem* item = items.Find(e.item);
      if (item == nullptr) {
        run.Fail(place, "no item named " + e.item);
        continue;
      }
      const std::optional<float> health = items.Health(*item);
      run.Trace("expect health of " + e.item + ": " + HealthText(health));
      bool ok = false;
      switch (e.kind) {
        case Expectation::Kind::None: ok = !health.has_value(); break;
        case Expectation::Kind::Exact: ok = health.has_value() && *health == e.exact; break;
        case Expectation::Kind::Range: ok = health.has_value() && *health >= e.low && *health < e.high; break;
      }
      if (!ok) run.Fail(place, e.item + " has health " + HealthText(health));
    }
  };
}
QM_SCENARIO_STEP("expectHealth", ParseExpectHealth);

// {"present": [ids], "absent": [ids], "counts": {"holder": {"form id": n}},
//  "refreshCalls": {"actor": n}}
Step ParseExpectInventory(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"present", "absent", "counts", "refreshCalls"}, place);
  std::vector<std::string> present, absent;
  if (const Json* list = Optional(argument, "present")) present = ReadStringList(*list, place + ".present");
  if (const Json* list = Optional(argument, "absent")) absent = ReadStringList(*list, place + ".absent");
  for (const auto& [names, key] : {std::make_pair(&present, ".present"), std::make_pair(&absent, ".absent")}) {
    for (std::size_t i = 0; i < names->size(); ++i) {
      UseWorldName(NameKind::Item, (*names)[i], place + key + "[" + std::to_string(i) + "]");
    }
  }
  struct Count {
    std::string holder;
    std::uint32_t form;
    std::int32_t count;
  };
  std::vector<Count> counts;
  if (const Json* object = Optional(argument, "counts")) {
    if (!object->is_object()) throw ScenarioError(place + ".counts", "expected {\"holder\": {\"form id\": count}}");
    for (auto holder = object->begin(); holder != object->end(); ++holder) {
      const std::string at = place + ".counts." + holder.key();
      if (!holder->is_object()) throw ScenarioError(at, "expected {\"form id\": count}");
      UseWorldName(NameKind::Holder, holder.key(), at);
      for (auto form = holder->begin(); form != holder->end(); ++form) {
        const std::uint32_t formId = ReadU32(Json(form.key()), at);
        UseWorldRecord(formId, at + "." + form.key());
        counts.push_back({holder.key(), formId, ReadI32(*form, at + "." + form.key())});
      }
    }
  }
  std::vector<std::pair<std::string, std::uint32_t>> refreshCalls;
  if (const Json* object = Optional(argument, "refreshCalls")) {
    if (!object->is_object()) throw ScenarioError(place + ".refreshCalls", "expected {\"actor\": count}");
    for (auto it = object->begin(); it != object->end(); ++it) {
      UseWorldName(NameKind::Actor, it.key(), place + ".refreshCalls." + it.key());
      refreshCalls.emplace_back(it.key(), ReadU32(*it, place + ".refreshCalls." + it.key()));
    }
  }
  return [=](RunContext& run) {
    gd::World& world = run.world();
    const gd::Items& items = world.Component<gd::Items>();
    auto& refs = world.Component<gd::References>();
    for (const auto& [ids, wanted] : {std::make_pair(present, true), std::make_pair(absent, false)}) {
      for (const std::string& id : ids) {
        const gd::NamedItem* item = items.Find(id);
        if (item == nullptr) {
          run.Fail(place, "no item named " + id);
          continue;
        }
        const bool isPresent = items.Present(*item);
        run.Trace("expect " + id + (wanted ? " present" : " absent") + ": " + (isPresent ? "present" : "absent"));
        if (isPresent != wanted) run.Fail(place, id + (isPresent ? " is still there" : " is gone"));
      }
    }
    for (const Count& c : counts) {
      gd::ReferenceRec* holder = refs.Find(c.holder);
      gd::FormHeader* form = world.Component<gd::Forms>().Find(c.form);
      gd::InventoryChangesRec* changes = holder != nullptr ? refs.FindInventory(*holder) : nullptr;
      if (changes == nullptr || form == nullptr) {
        run.Fail(place, "no inventory of " + c.holder + " or no record " + std::to_string(c.form));
        continue;
      }
      const std::int32_t count = world.Component<gd::Inventories>().CountOf(*changes, form);
      run.Trace("expect " + c.holder + " holds " + std::to_string(c.count) + " of " +
                world.Component<gd::Forms>().NameOf(form) + ": " + std::to_string(count));
      if (count != c.count) run.Fail(place, c.holder + " holds " + std::to_string(count));
    }
    for (const auto& [name, expected] : refreshCalls) {
      gd::ReferenceRec* actor = refs.Find(name);
      if (actor == nullptr || !gd::References::IsActor(actor)) {
        run.Fail(place, "no actor named " + name);
        continue;
      }
      const std::uint32_t calls = refs.RefreshCalls(reinterpret_cast<gd::ActorRec*>(actor));
      run.Trace("expect " + std::to_string(expected) + " refresh(es) of " + name +
                " after removal: " + std::to_string(calls));
      if (calls != expected) run.Fail(place, name + " was refreshed " + std::to_string(calls) + " time(s)");
    }
  };
}
QM_SCENARIO_STEP("expectInventory", ParseExpectInventory);

// Every text shown on screen so far, in order.
Step ParseExpectNotifications(const Json& argument, const std::string& place) {
  const std::vector<std::string> expected = ReadStringList(argument, place);
  return [=](RunContext& run) {
    const std::vector<std::string> shown = run.world().Component<gd::Hud>().Notifications();
    run.Trace("expect " + std::to_string(expected.size()) + " notification(s): " + std::to_string(shown.size()) +
              " shown");
    for (const std::string& text : shown) run.Trace("  \"" + text + "\"");
    const std::string difference = FirstDifference(expected, shown);
    if (!difference.empty()) run.Fail(place, difference);
  };
}
QM_SCENARIO_STEP("expectNotifications", ParseExpectNotifications);

// The n-th allocation from the game heap from now on fails (0: none fail).
Step ParseGameHeapFail(const Json& argument, const std::string& place) {
  const std::uint32_t n = ReadU32(argument, place);
  return [=](RunContext& run) {
    run.Trace(n == 0 ? std::string("game heap allocations succeed")
                     : "game heap allocation " + std::to_string(n) + " from now fails");
    run.world().heap().FailAllocation(n);
  };
}
QM_SCENARIO_STEP("gameHeapFail", ParseGameHeapFail);

}  // namespace
}  // namespace qm::scenario
