// qm tune: the tuning lab's command line, its settings and its table.
#include "host_double.h"
#include "process_facts.h"
#include "run_context.h"
#include "runner_platform.h"
#include "tune_lab.h"
#include "tune_report.h"
#include "tune_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace qm::tune {
namespace {

constexpr const char* kUsage =
    "usage: qm tune [Quellmark.ini] [--trials N] [--cap HITS] [--report FILE.html]\n"
    "               [--seed N] [--plugin PATH]\n"
    "\n"
    "A Monte Carlo of item wear through the real plug-in in the game double. For\n"
    "every category, starting health 1.0, 1.1, 1.3 and 1.6, the player, a\n"
    "follower and another actor, with and without power attacks: the hits until\n"
    "the item is worn out (health at or below the threshold) and until it breaks\n"
    "(mean, p10, p50, p90), as a table and, with --report, as plots.\n"
    "\n"
    "  Quellmark.ini     the settings to tune (default: the plug-in's defaults)\n"
    "  --trials N        trials per case (default 200)\n"
    "  --cap HITS        hits per trial before it counts as never (default 100000)\n"
    "  --report FILE     writes an HTML report with the plots\n"
    "  --seed N          seed of the plug-in's random source (default 5489)\n"
    "  --plugin PATH     the plug-in module (default: next to this program)\n"
    "\n"
    "The follower and other-actor rows are simulated as if OnlyPlayer were false\n"
    "(with OnlyPlayer on, their gear is never worn). The engine wears an actor at\n"
    "most once between two clearings of its recent hits, so every round of hits\n"
    "(one per actor) is followed by two update events; the figures count both.\n"
    "The player's trials run on stand-ins, each made the game's player right\n"
    "before its hit.\n"
    "Exits 0 on success, 1 when the settings turn degradation off, 2 for bad\n"
    "arguments or a file that cannot be read.\n";

bool ReadNumberArg(const char* text, std::uint64_t low, std::uint64_t high, std::uint64_t& out) {
  char* end = nullptr;
  if (text[0] == '-' || text[0] == '\0') return false;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (*end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

// The settings as the plug-in wrote them to its log once it read them:
// section -> key -> value.
std::map<std::string, std::map<std::string, double>> LoggedSettings(const std::vector<std::string>& log) {
  std::map<std::string, std::map<std::string, double>> settings;
  std::string section;
  for (const std::string& line : log) {
    if (line.rfind("   ", 0) == 0) {
      const std::size_t equals = line.find("  =  ");
      if (equals == std::string::npos || section.empty()) continue;
      settings[section][line.substr(3, equals - 3)] = std::strtod(line.c_str() + equals + 5, nullptr);
    } else if (line == "Degradation" || line == "DegradationRate" || line == "BreakChance" ||
               line == "DynamicTemper" || line == "Widget") {
      section = line;
    } else {
      section.clear();
    }
  }
  return settings;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

int TuneCommandLine(int argc, char** argv, const char* argv0) {
  std::string settingsPath, reportPath;
  std::string pluginPath = qm::scenario::DefaultPluginPath(argv0);
  std::uint64_t trials = 200, cap = 100000, seed = 5489;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--trials") {
      if (!hasValue || !ReadNumberArg(argv[++i], 1, 1000000, trials)) {
        std::fprintf(stderr, "qm tune: --trials takes a number from 1 to 1000000\n");
        return 2;
      }
    } else if (arg == "--cap") {
      if (!hasValue || !ReadNumberArg(argv[++i], 1, 100000000, cap)) {
        std::fprintf(stderr, "qm tune: --cap takes a number of hits from 1 to 100000000\n");
        return 2;
      }
    } else if (arg == "--seed") {
      if (!hasValue || !ReadNumberArg(argv[++i], 0, 0xFFFFFFFFull, seed)) {
        std::fprintf(stderr, "qm tune: --seed takes a number from 0 to 4294967295\n");
        return 2;
      }
    } else if (arg == "--report" && hasValue) {
      reportPath = argv[++i];
    } else if (arg == "--plugin" && hasValue) {
      pluginPath = argv[++i];
    } else if (arg.rfind("-", 0) == 0 || !settingsPath.empty()) {
      std::fprintf(stderr, "qm tune: unexpected argument \"%s\"\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      settingsPath = arg;
    }
  }

  if (!settingsPath.empty()) {
    std::error_code error;
    std::ifstream in(settingsPath, std::ios::binary);
    if (!std::filesystem::is_regular_file(settingsPath, error) || !in) {
      std::fprintf(stderr, "qm tune: cannot read the settings file \"%s\"\n", settingsPath.c_str());
      return 2;
    }
  }

  // The game: the lab's actors and records, then the plug-in loaded and
  // started as the script extender does.
  scenario::SetSeedForPlugin(static_cast<std::uint32_t>(seed));
  const scenario::RunFolders folders = scenario::PrepareRunFolders();
  const auto iniPath = std::filesystem::path(folders.gameFolder) / "data/SKSE/Plugins/Quellmark/Quellmark.ini";
  std::filesystem::create_directories(iniPath.parent_path());
  {
    std::ofstream out(iniPath, std::ios::binary | std::ios::trunc);
    out << SimulationSettings(settingsPath, {});
  }
  gd::World world = scenario::MakeWorld();
  host::HostDouble hostDouble{host::HostSettings{}};
  scenario::RunContext run(world, hostDouble, folders.gameFolder, folders.documentsFolder);
  Lab lab(world);
  LabOptions options;
  options.trials = static_cast<std::uint32_t>(trials);
  options.hitCap = static_cast<std::uint32_t>(cap);
  lab.Build(options.lanes);
  host::SetProcessFacts(world.base(), folders.gameFolder + "/SkyrimSE.exe", folders.documentsFolder, false);
  std::string error;
  if (!hostDouble.LoadModule(pluginPath, &error)) {
    std::fprintf(stderr, "qm tune: cannot load the plug-in %s: %s\n", pluginPath.c_str(), error.c_str());
    return 2;
  }
  // The plug-in echoes its log to standard output; the table follows it.
  std::printf("The plug-in starts (its log follows):\n");
  if (!hostDouble.Query() || !hostDouble.Load()) {
    std::fprintf(stderr, "qm tune: the plug-in refused to start\n");
    return 2;
  }
  hostDouble.SendMessage(8);
  std::fflush(stdout);

  const auto settings = LoggedSettings(run.ReadLog());
  const auto value = [&](const char* section, const std::string& key) -> double {
    const auto s = settings.find(section);
    if (s == settings.end()) return 0;
    const auto k = s->second.find(key);
    return k == s->second.end() ? 0 : k->second;
  };
  if (settings.empty()) {
    std::fprintf(stderr, "qm tune: the plug-in wrote no settings to its log\n");
    return 2;
  }
  if (value("Degradation", "onlyplayer") != 0) {
    std::fprintf(stderr, "qm tune: the plug-in did not take onlyplayer=false; the follower and other-actor rows "
                         "cannot be simulated\n");
    return 2;
  }
  if (value("Degradation", "disabledegradation") != 0) {
    std::printf("\nThese settings turn degradation off (DisableDegradation=true): no item is ever worn.\n");
    return 1;
  }
  const auto thresholdSetting = static_cast<std::uint32_t>(static_cast<std::int64_t>(value("Degradation", "equipmenthealththreshold")));
  options.threshold = thresholdSetting == 0 ? 1.0f : static_cast<float>(thresholdSetting) * 0.001f + 1.0f;

  std::vector<Case> cases;
  for (ActorKind actor : {ActorKind::Player, ActorKind::Follower, ActorKind::Other}) {
    for (bool power : {false, true}) {
      for (int category = 0; category < kCategoryCount; ++category) {
        for (double start : kStartHealths) {
          Case c;
          c.category = category;
          c.startHealth = start;
          c.actor = actor;
          c.powerAttack = power;
          const std::string key = Lower(kCategoryNames[category]);
          const char* multiplier = actor == ActorKind::Follower ? "followermultiplier" : "npcmultiplier";
          double rate = value("DegradationRate", key), chance = value("BreakChance", key);
          if (power) {
            rate *= value("DegradationRate", "powerattackmultiplier");
            chance *= value("BreakChance", "powerattackmultiplier");
          }
          if (actor != ActorKind::Player) {
            rate *= value("DegradationRate", multiplier);
            chance *= value("BreakChance", multiplier);
          }
          c.terms.wears = rate > 0;
          c.terms.breaks = chance > 0;
          cases.push_back(std::move(c));
        }
      }
    }
  }

  options.progress = [](double done, std::uint64_t hits, double seconds) {
    std::fprintf(stderr, "\rtune: %5.1f%% of the trials, %.1f M hits, %.2f M hits/s   ", done * 100.0, hits / 1e6,
                 hits / 1e6 / seconds);
    std::fflush(stderr);
  };
  std::printf("\nRunning %zu cases x %llu trials (threshold %.6f)...\n", cases.size(),
              static_cast<unsigned long long>(trials), static_cast<double>(options.threshold));
  std::fflush(stdout);
  const LabFigures figures = lab.Run(cases, options);
  std::fprintf(stderr, "\r%70s\r", "");
  for (const std::string& violation : world.Violations()) {
    std::fprintf(stderr, "qm tune: the game double saw a broken contract: %s\n", violation.c_str());
  }

  TuneSummary summary{settingsPath.empty() ? "(defaults)" : settingsPath, options.threshold,
                      static_cast<std::uint32_t>(trials), static_cast<std::uint32_t>(cap), figures};
  PrintTable(stdout, cases, summary);
  if (!reportPath.empty()) {
    if (!WriteTuneReport(reportPath, cases, summary)) {
      std::fprintf(stderr, "qm tune: cannot write the report %s\n", reportPath.c_str());
      return 2;
    }
    std::printf("report: %s\n", reportPath.c_str());
  }
  return world.Violations().empty() ? 0 : 1;
}

}  // namespace qm::tune
