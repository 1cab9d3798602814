// "repeat": runs a list of steps a number of times, for the long runs that
// show nothing accumulates (a thousand openings and closings).
#include "run_context.h"
#include "scenario.h"

#include <memory>

namespace qm::scenario {
namespace {

Step ParseRepeat(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"times", "steps"}, place);
  const std::uint32_t times = ReadU32(Member(argument, "times", place), place + ".times");
  // Shared, not copied: a repeat nested in repeats is then built once, in
  // time that grows with the file, not with its depth times its size.
  const auto steps = std::make_shared<const std::vector<std::pair<std::string, Step>>>(
      ParseStepList(Member(argument, "steps", place), place + ".steps"));
  return [times, steps](RunContext& run) {
    run.Trace("repeat " + std::to_string(times) + " time(s)");
    for (std::uint32_t round = 0; round < times; ++round) {
      for (const auto& [stepPlace, step] : *steps) step(run);
      // One failing round is enough to show.
      if (!run.failures().empty()) return;
    }
  };
}
QM_SCENARIO_STEP("repeat", ParseRepeat);

}  // namespace
}  // namespace qm::scenario
