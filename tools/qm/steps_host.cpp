// Steps that drive the plug-in as the script extender does, and expectations
// on its log.
#include "run_context.h"
#include "scenario.h"

#include <algorithm>

namespace qm::scenario {
namespace {

std::string YesNo(bool value) { return value ? "true" : "false"; }

Step ParseQuery(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"expect"}, place);
  const bool hasExpect = argument.contains("expect");
  const bool expected = hasExpect && ReadBool(argument["expect"], place + ".expect");
  return [=](RunContext& run) {
    const bool result = run.host().Query();
    if (run.host().loader() == host::LoaderKind::kVersionData) {
      // The Anniversary Edition's extender decides from the version data.
      run.Trace("SKSEPlugin_Version -> " + (result ? std::string("compatible") : run.host().lastRefusal()));
    } else {
      run.Trace("SKSEPlugin_Query -> " + YesNo(result));
    }
    if (hasExpect && result != expected) run.Fail(place, "Query returned " + YesNo(result));
  };
}
QM_SCENARIO_STEP("query", ParseQuery);

Step ParseLoad(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"expect"}, place);
  const bool hasExpect = argument.contains("expect");
  const bool expected = hasExpect && ReadBool(argument["expect"], place + ".expect");
  return [=](RunContext& run) {
    const bool result = run.host().Load();
    run.Trace("SKSEPlugin_Load -> " + YesNo(result) + " (listeners: " + std::to_string(run.host().listenerCount()) +
              ")");
    if (hasExpect && result != expected) run.Fail(place, "Load returned " + YesNo(result));
  };
}
QM_SCENARIO_STEP("load", ParseLoad);

Step ParseMessage(const Json& argument, const std::string& place) {
  const std::uint32_t type = ReadU32(argument, place);
  return [=](RunContext& run) {
    run.Trace("message " + std::to_string(type) + " from SKSE");
    run.host().SendMessage(type);
  };
}
QM_SCENARIO_STEP("message", ParseMessage);

// The whole log, line by line.
Step ParseExpectLog(const Json& argument, const std::string& place) {
  const std::vector<std::string> expected = ReadStringList(argument, place);
  return [=](RunContext& run) {
    const std::string difference = FirstDifference(expected, run.ReadLog());
    run.Trace("expect log (" + std::to_string(expected.size()) + " lines)" + (difference.empty() ? "" : ": differs"));
    if (!difference.empty()) run.Fail(place, difference);
  };
}
QM_SCENARIO_STEP("expectLog", ParseExpectLog);

// Lines that must (or must not) appear somewhere in the log.
Step ParseExpectLogHas(const Json& argument, const std::string& place, bool present) {
  const std::vector<std::string> lines = ReadStringList(argument, place);
  return [=](RunContext& run) {
    const std::vector<std::string> log = run.ReadLog();
    for (const std::string& line : lines) {
      const bool found = std::find(log.begin(), log.end(), line) != log.end();
      run.Trace(std::string("expect log ") + (present ? "has" : "lacks") + " \"" + line + "\"");
      if (found != present) run.Fail(place, std::string(present ? "missing" : "unexpected") + " line \"" + line + "\"");
    }
  };
}
QM_SCENARIO_STEP("expectLogHas", [](const Json& a, const std::string& p) { return ParseExpectLogHas(a, p, true); });
QM_SCENARIO_STEP("expectLogLacks", [](const Json& a, const std::string& p) { return ParseExpectLogHas(a, p, false); });

Step ParseExpectInfo(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"infoVersion", "name", "version"}, place);
  const std::uint32_t infoVersion = ReadU32(Member(argument, "infoVersion", place), place + ".infoVersion");
  const std::string name = ReadString(Member(argument, "name", place), place + ".name");
  const std::uint32_t version = ReadU32(Member(argument, "version", place), place + ".version");
  return [=](RunContext& run) {
    const auto& info = run.host().info();
    const std::string actualName = info.name != nullptr ? info.name : "(null)";
    run.Trace("plug-in info: version " + std::to_string(info.infoVersion) + ", name " + actualName +
              ", plug-in version " + std::to_string(info.version));
    if (info.infoVersion != infoVersion || actualName != name || info.version != version) {
      run.Fail(place, "plug-in info differs");
    }
  };
}
QM_SCENARIO_STEP("expectInfo", ParseExpectInfo);

Step ParseExpectListener(const Json& argument, const std::string& place) {
  CheckKeys(argument, {"count", "sender", "handle"}, place);
  const int count = ReadCount(Member(argument, "count", place), place + ".count");
  const bool hasSender = argument.contains("sender");
  const std::string sender = hasSender ? ReadString(argument["sender"], place + ".sender") : "";
  const bool hasHandle = argument.contains("handle");
  const std::uint32_t handle = hasHandle ? ReadU32(argument["handle"], place + ".handle") : 0;
  return [=](RunContext& run) {
    run.Trace("listeners registered: " + std::to_string(run.host().listenerCount()));
    if (run.host().listenerCount() != count) run.Fail(place, "listener count differs");
    if (hasSender && run.host().lastListenerSender() != sender) run.Fail(place, "listener sender differs");
    if (hasHandle && run.host().lastListenerHandle() != handle) run.Fail(place, "listener handle differs");
  };
}
QM_SCENARIO_STEP("expectListener", ParseExpectListener);

}  // namespace
}  // namespace qm::scenario
