// qm: runs the plug-in inside the game double.
#include "runner.h"
#include "runner_platform.h"
#include "tune_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: qm run SCENARIO.json [--seed N] [--plugin PATH] [--trace-out FILE] [--report FILE.html] [--keep-temp]\n"
    "              [--runtime 1.5.39|1.5.97|1.6.1170]\n"
    "       qm tune [Quellmark.ini] [options]   (qm tune --help for its options)\n"
    "       qm check-settings [Quellmark.ini] [NoBreakForms.ini] [--plugins LIST]\n"
    "\n"
    "Runs one scenario: builds the game it describes, loads the plug-in into it\n"
    "the way the script extender does, plays its steps and checks its\n"
    "expectations. Prints a readable trace; exits 0 when every expectation\n"
    "held, 1 when one failed, 2 for a malformed scenario or bad arguments.\n"
    "\n"
    "  --seed N          seed of the plug-in's random source (default: the scenario's)\n"
    "  --runtime R       simulate game runtime R instead of the scenario's (default 1.5.39)\n"
    "  --plugin PATH     the plug-in module (default: next to this program); a bare\n"
    "                    name is a file in the current folder\n"
    "  --trace-out FILE  writes the trace and the plug-in's log to FILE too, with\n"
    "                    plain line ends, to compare runs on different platforms\n"
    "  --report FILE     writes a page with the items' durability over the run\n"
    "  --keep-temp       keeps the run's temporary folder (the game's files and the\n"
    "                    plug-in's log) and prints where it is; by default it is\n"
    "                    removed at the end of the run\n";

}  // namespace

namespace qm::scenario {

int RunCommandLine(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  if (command == "tune") return qm::tune::TuneCommandLine(argc - 2, argv + 2, argv[0]);
  if (command == "check-settings") return RunSiblingProgram(argv[0], "qm-check-settings", argc - 2, argv + 2);
  if (command == "run" && argc >= 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command != "run" || argc < 3) {
    std::fprintf(stderr, "qm: unknown command \"%s\"\n%s", command.c_str(), kUsage);
    return 2;
  }
  qm::scenario::RunOptions options;
  options.pluginPath = qm::scenario::DefaultPluginPath(argv[0]);
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seed" && i + 1 < argc) {
      options.seedGiven = true;
      const char* text = argv[++i];
      char* end = nullptr;
      const unsigned long long seed = std::strtoull(text, &end, 0);
      if (end == text || *end != '\0' || seed > 0xFFFFFFFFull || text[0] == '-') {
        std::fprintf(stderr, "qm: --seed takes a number from 0 to 4294967295, not \"%s\"\n", text);
        return 2;
      }
      options.seed = static_cast<std::uint32_t>(seed);
    } else if (arg == "--plugin" && i + 1 < argc && argv[i + 1][0] != '\0') {
      // Absolute, so that the loader takes a bare name for a file here
      // rather than searching its library path.
      options.pluginPath = std::filesystem::absolute(argv[++i]).string();
    } else if (arg == "--runtime" && i + 1 < argc) {
      options.runtime = argv[++i];
    } else if (arg == "--keep-temp") {
      options.keepTemporary = true;
    } else if (arg == "--trace-out" && i + 1 < argc) {
      options.traceOutPath = argv[++i];
    } else if (arg == "--report" && i + 1 < argc) {
      options.reportPath = argv[++i];
    } else {
      std::fprintf(stderr, "qm: unknown argument \"%s\"\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  try {
    return qm::scenario::RunScenario(argv[2], options);
  } catch (const std::exception& e) {
    // A folder or file the run needs could not be made, or the like.
    std::fprintf(stderr, "qm: %s\n", e.what());
    return 2;
  }
}

}  // namespace qm::scenario
