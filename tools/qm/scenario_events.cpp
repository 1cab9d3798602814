// How many steps and events a script plays: a repeat plays its steps its
// number of times, update and frames their counts. Bounded, so that a count
// written by mistake (or a negative one read as a huge number) is refused
// rather than run for hours. Runs on the parsed and checked script.
#include "scenario_checks.h"

namespace qm::scenario {
namespace {

std::uint64_t CountOf(const Json& argument, const std::string& place) {
  return ReadU32(argument.is_object() ? argument.at("count") : argument, place);
}

std::uint64_t EventsOf(const Json& steps, const std::string& place);

std::uint64_t EventsOfStep(const Json& step, const std::string& place) {
  const std::string& name = step.begin().key();
  const Json& argument = step.begin().value();
  if (name == "update" || name == "frames") return 1 + CountOf(argument, place);
  if (name != "repeat") return 1;
  const std::uint64_t times = ReadU32(argument.at("times"), place);
  const std::uint64_t inner = EventsOf(argument.at("steps"), place + ".repeat.steps");
  // times < 2^32 and inner <= kMaxEvents: the product cannot overflow.
  const std::uint64_t events = 1 + times * inner;
  if (events > kMaxEvents) {
    throw ScenarioError(place + ".repeat", "plays " + std::to_string(times) + " x " + std::to_string(inner) +
                                               " steps and events, more than the " + std::to_string(kMaxEvents) +
                                               " a run may play");
  }
  return events;
}

std::uint64_t EventsOf(const Json& steps, const std::string& place) {
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    total += EventsOfStep(steps[i], place + "[" + std::to_string(i) + "]");
    if (total > kMaxEvents) {
      throw ScenarioError(
          place + "[" + std::to_string(i) + "]",
          "the steps up to here play more than the " + std::to_string(kMaxEvents) + " steps and events a run may play");
    }
  }
  return total;
}

}  // namespace

void CheckEventCount(const Json& steps) { EventsOf(steps, "steps"); }

}  // namespace qm::scenario
