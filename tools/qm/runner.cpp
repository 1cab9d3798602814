#include "runner.h"

#include "host_double.h"
#include "library_file.h"
#include "process_facts.h"
#include "run_context.h"
#include "run_report.h"
#include "run_watch.h"
#include "runner_platform.h"
#include "scenario.h"
#include "trace_file.h"
#include "world.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace qm::scenario {
namespace {

// The scenario's files below the game's folder (their names were checked when
// the file was read); false, with a message, when one cannot be written.
bool WriteGameFile(const Scenario& scenario, const std::string& gameFolder, const std::string& relative,
                   const std::string& content) {
  // Either slash separates folders, on every system, as on Windows.
  std::string portable = relative;
  for (char& c : portable) c = c == '\\' ? '/' : c;
  const std::filesystem::path target = std::filesystem::path(gameFolder) / std::filesystem::path(portable);
  std::error_code error;
  std::filesystem::create_directories(target.parent_path(), error);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (error || !out) {
    std::fprintf(stderr, "%s: cannot write the scenario's file %s\n", scenario.path.c_str(),
                 Printable(relative).c_str());
    return false;
  }
  return true;
}

// The Address Library file the player installs for the runtime, unless the
// scenario leaves it out or brings its own (a file or a folder of its name).
bool WriteAddressLibrary(const Scenario& scenario, const gd::RuntimeOffsets& runtime, const std::string& gameFolder) {
  const std::string name = gd::LibraryFileName(runtime);
  if (name.empty() || !scenario.writeAddressLibrary) return true;
  const std::string relative = "data/SKSE/Plugins/" + name;
  // A scenario's own file of that name, or a folder of that name.
  for (const auto& [path, content] : scenario.files) {
    if (path == relative || path.rfind(relative + "/", 0) == 0) return true;
  }
  const std::vector<std::uint8_t> bytes = gd::LibraryFileFor(runtime);
  return WriteGameFile(scenario, gameFolder, relative, std::string(bytes.begin(), bytes.end()));
}

bool WriteGameFiles(const Scenario& scenario, const std::string& gameFolder) {
  for (const auto& [relative, content] : scenario.files) {
    if (!WriteGameFile(scenario, gameFolder, relative, content)) return false;
  }
  return true;
}

// The run's result, after the trace file and the report (when asked for) are written.
int Finish(RunContext& run, const RunOptions& options, const std::string& path, int result) {
  std::fflush(stdout);
  if (!options.reportPath.empty() && !WriteRunReport(options.reportPath, path, run, result)) {
    std::fprintf(stderr, "cannot write the report %s\n", options.reportPath.c_str());
    return 2;
  }
  if (!options.traceOutPath.empty() && !WriteTraceFile(options.traceOutPath, run, result)) {
    std::fprintf(stderr, "cannot write the trace file %s\n", options.traceOutPath.c_str());
    return 2;
  }
  return result;
}

}  // namespace

int RunScenario(const std::string& path, const RunOptions& options) {
  Scenario scenario;
  try {
    scenario = ParseScenario(path);
  } catch (const ScenarioError& e) {
    std::fprintf(stderr, "%s: malformed scenario: %s\n", Printable(path).c_str(), e.what());
    return 2;
  }

  const std::uint32_t seed = options.seedGiven ? options.seed : scenario.seed;
  SetSeedForPlugin(seed);
  const RunFolders folders = PrepareRunFolders(options.keepTemporary);
  if (folders.temporary && options.keepTemporary) {
    std::fprintf(stderr, "the run's folder is kept: %s\n", folders.temporary->path().c_str());
  }
  const std::string runtimeName = options.runtime.empty() ? scenario.runtime : options.runtime;
  const gd::RuntimeOffsets* runtime = gd::FindRuntime(runtimeName);
  if (runtime == nullptr) {
    std::fprintf(stderr, "qm: no simulated runtime %s (there are %s)\n", Printable(runtimeName).c_str(),
                 gd::SimulatedRuntimeNames().c_str());
    return 2;
  }
  if (!WriteGameFiles(scenario, folders.gameFolder)) return 2;
  if (!WriteAddressLibrary(scenario, *runtime, folders.gameFolder)) return 2;

  gd::World world = MakeWorld(*runtime);
  host::HostSettings hostSettings;
  hostSettings.runtimeVersion = scenario.host.runtimeVersionGiven ? scenario.host.runtimeVersion
                                                                  : runtime->runtimeVersion;
  // From 1.6.629 on, the extender is 2.2.x and loads by the version data.
  const std::uint32_t family = hostSettings.runtimeVersion & ~0xFu;
  if (family >= 0x01062750 && family < 0x01070000) hostSettings.loader = host::LoaderKind::kVersionData;
  hostSettings.gameFolder = folders.gameFolder;
  hostSettings.tasksAvailable = scenario.host.tasksAvailable;
  hostSettings.isEditor = scenario.host.isEditor;
  hostSettings.messagingAvailable = scenario.host.messagingAvailable;
  hostSettings.messagingVersion = scenario.host.messagingVersion;
  host::HostDouble hostDouble(hostSettings);
  RunContext run(world, hostDouble, folders.gameFolder, folders.documentsFolder);

  std::printf("scenario %s%s%s (seed %u, runtime %s)\n", path.c_str(), scenario.description.empty() ? "" : ": ",
              scenario.description.c_str(), seed, runtime->name);
  for (auto& [place, build] : scenario.world) {
    run.SetCurrentPlace(place);
    build(run);
  }

  host::SetProcessFacts(world.base(), folders.gameFolder + "/SkyrimSE.exe", folders.documentsFolder,
                        scenario.documentsLookupFails);
  std::string error;
  if (!hostDouble.LoadModule(options.pluginPath, &error)) {
    std::fprintf(stderr, "cannot load the plug-in %s: %s\n", options.pluginPath.c_str(), error.c_str());
    run.Trace("cannot load the plug-in");
    return Finish(run, options, path, 2);
  }
  for (auto& [place, step] : scenario.steps) {
    run.SetCurrentPlace(place);
    const std::size_t traceStart = run.trace().size();
    step(run);
    WatchStep(run, traceStart);
  }
  world.End();
  for (const std::string& violation : world.Violations()) run.Fail("game", violation);
  for (const std::string& violation : hostDouble.violations()) run.Fail("script extender", violation);

  if (run.failures().empty()) {
    std::printf("PASSED %s\n", path.c_str());
    return Finish(run, options, path, 0);
  }
  std::printf("FAILED %s: %zu failed expectation(s); first: %s\n", path.c_str(), run.failures().size(),
              run.failures().front().c_str());
  return Finish(run, options, path, 1);
}

}  // namespace qm::scenario
