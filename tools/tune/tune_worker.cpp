// A worker of the tuning lab: one job in a process of its own, through the
// real plug-in in the game double.
#include "host_double.h"
#include "process_facts.h"
#include "run_context.h"
#include "runner_platform.h"
#include "tune_jobs.h"
#include "tune_platform.h"

#include "config/settings_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace qm::tune {
namespace {

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
    } else if (std::find(config::kSectionNames.begin(), config::kSectionNames.end(), line) !=
               config::kSectionNames.end()) {
      section = line;
    } else {
      section.clear();
    }
  }
  return settings;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

int Fail(const char* message) {
  std::fprintf(stderr, "qm tune worker: %s\n", message);
  return 2;
}

}  // namespace

int WorkerMain(int argc, char** argv) {
  if (argc < 1) return Fail("no result file given");
  const std::string resultPath = argv[0];
  std::string settingsPath, pluginPath, specText;
  std::uint32_t trials = 0, cap = 0, seed = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i], value = argv[i + 1];
    const auto number = [&]() { return static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10)); };
    if (arg == "--job") specText = value;
    else if (arg == "--settings") settingsPath = value;
    else if (arg == "--plugin") pluginPath = value;
    else if (arg == "--trials") trials = number();
    else if (arg == "--cap") cap = number();
    else if (arg == "--seed") seed = number();
    else return Fail("unknown worker argument");
  }
  JobSpec spec;
  if (!ParseJobSpec(specText, spec) || trials == 0 || cap == 0) return Fail("malformed job");
  std::ifstream settingsIn(settingsPath, std::ios::binary);
  if (!settingsIn) return Fail("cannot read the settings");
  std::ostringstream settingsText;
  settingsText << settingsIn.rdbuf();

  // The game: the lab's actors and records, then the plug-in loaded and
  // started as the script extender does.
  scenario::SetSeedForPlugin(seed);
  const scenario::RunFolders folders = scenario::PrepareRunFolders();
  struct Cleanup {
    const std::string& folder;
    ~Cleanup() { RemoveWorkerFolders(folder); }
  } cleanup{folders.gameFolder};
  const auto iniPath = std::filesystem::path(folders.gameFolder) / "data/SKSE/Plugins/Quellmark/Quellmark.ini";
  std::filesystem::create_directories(iniPath.parent_path());
  std::ofstream(iniPath, std::ios::binary | std::ios::trunc) << settingsText.str();
  gd::World world = scenario::MakeWorld();
  host::HostDouble hostDouble{host::HostSettings{}};
  scenario::RunContext run(world, hostDouble, folders.gameFolder, folders.documentsFolder);
  Lab lab(world);
  LabOptions options;
  options.trials = trials;
  options.hitCap = cap;
  lab.Build(options.lanes);
  host::SetProcessFacts(world.base(), folders.gameFolder + "/SkyrimSE.exe", folders.documentsFolder, false);
  std::string error;
  if (!hostDouble.LoadModule(pluginPath, &error)) {
    std::fprintf(stderr, "qm tune: cannot load the plug-in %s: %s\n", pluginPath.c_str(), error.c_str());
    return 2;
  }
  if (!hostDouble.Query() || !hostDouble.Load()) return Fail("the plug-in refused to start");
  hostDouble.SendMessage(8);
  std::fflush(stdout);

  const auto settings = LoggedSettings(run.ReadLog());
  const auto value = [&](const char* section, const std::string& key) -> double {
    const auto s = settings.find(section);
    if (s == settings.end()) return 0;
    const auto k = s->second.find(key);
    return k == s->second.end() ? 0 : k->second;
  };
  const auto logged = [&](config::Setting setting) {
    return value(config::NameOf(config::InfoOf(setting).section), config::InfoOf(setting).key);
  };
  if (settings.empty()) return Fail("the plug-in wrote no settings to its log");
  if (logged(config::Setting::OnlyPlayer) != 0) {
    return Fail("the plug-in did not take onlyplayer=false; the follower and other-actor rows cannot be simulated");
  }
  JobResult result;
  const auto thresholdSetting =
      static_cast<std::uint32_t>(static_cast<std::int64_t>(logged(config::Setting::EquipmentHealthThreshold)));
  result.threshold = thresholdSetting == 0 ? 1.0f : static_cast<float>(thresholdSetting) * 0.001f + 1.0f;
  options.threshold = result.threshold;
  result.degradationOff = logged(config::Setting::DisableDegradation) != 0;

  for (double start : spec.starts) {
    Case c;
    c.category = spec.category;
    c.startHealth = start;
    c.actor = spec.actor;
    c.powerAttack = spec.powerAttack;
    c.shield = spec.shield;
    const std::string key = Lower(kCategoryNames[spec.category]);
    const bool follower = spec.actor == ActorKind::Follower;
    double chance = value(config::NameOf(config::Section::BreakChance), key);
    if (spec.powerAttack) chance *= logged(config::Setting::ChancePowerAttackMultiplier);
    if (spec.actor != ActorKind::Player) {
      chance *= logged(follower ? config::Setting::ChanceFollowerMultiplier : config::Setting::ChanceNpcMultiplier);
    }
    // The plug-in asks the category's rate alone whether to wear: a
    // multiplier of 0 leaves a loss of up to 0.0001 a hit, which still wears
    // the item out. A chance made 0 by its multiplier makes no roll.
    c.terms.wears = value(config::NameOf(config::Section::DegradationRate), key) > 0;
    c.terms.breaks = chance > 0;
    result.cases.push_back(std::move(c));
  }
  if (!result.degradationOff) result.figures = lab.Run(result.cases, options);
  for (const std::string& violation : world.Violations()) {
    std::fprintf(stderr, "qm tune: the game double saw a broken contract: %s\n", violation.c_str());
  }
  result.violations = static_cast<std::uint32_t>(world.Violations().size());
  if (!WriteJobResult(resultPath, result)) return Fail("cannot write the results");
  return 0;
}

}  // namespace qm::tune
