// "repeat": runs a list of steps a number of times, for the long runs that
// show nothing accumulates (a thousand openings and closings).
#include "run_context.h"
#include "scenario.h"

namespace qm::scenario {
namespace {

Step ParseRepeat(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"times", "steps"}, place);
  const std::uint32_t times = ReadU32(Member(argument, "times", place), place + ".times");
  const Json& list = Member(argument, "steps", place);
  if (!list.is_array()) throw ScenarioError(place + ".steps", "expected a list");
  std::vector<std::pair<std::string, Step>> steps;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string itemPlace = place + ".steps[" + std::to_string(i) + "]";
    const Json& step = list[i];
    if (!step.is_object() || step.size() != 1) throw ScenarioError(itemPlace, "a step is an object with exactly one key");
    const std::string name = step.begin().key();
    auto parser = StepParsers().find(name);
    if (parser == StepParsers().end()) throw ScenarioError(itemPlace, "unknown step \"" + name + "\"");
    steps.emplace_back(itemPlace + "." + name, parser->second(step.begin().value(), itemPlace + "." + name));
  }
  return [=](RunContext& run) {
    run.Trace("repeat " + std::to_string(times) + " time(s)");
    for (std::uint32_t round = 0; round < times; ++round) {
      for (const auto& [stepPlace, step] : steps) step(run);
      // One failing round is enough to show.
      if (!run.failures().empty()) return;
    }
  };
}
QM_SCENARIO_STEP("repeat", ParseRepeat);

}  // namespace
}  // namespace qm::scenario
