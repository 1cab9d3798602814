// qm tune: the tuning lab's command line. One settings file gives the table
// of all cases, two give their comparison, targets make it search settings.
#include "tune_command.h"

#include "runner_platform.h"
#include "tune_compare.h"
#include "tune_item_table.h"
#include "tune_platform.h"
#include "tune_plots.h"
#include "tune_report.h"
#include "tune_run.h"
#include "tune_solve.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace qm::tune {
namespace {

constexpr const char* kUsage =
    "usage: qm tune [Quellmark.ini] [options]                 the table of all cases\n"
    "       qm tune A.ini B.ini [options]                     A and B compared\n"
    "       qm tune [Quellmark.ini] --target TEXT... --vary KEYS [options]\n"
    "                                                         settings searched for targets\n"
    "       qm tune --item-table NAME=FILE... [options]       the players' table of presets\n"
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
    "  --seed N          seed of the run (default 5489); each job of the run is\n"
    "                    seeded from it and from what the job covers\n"
    "  --workers N       worker processes at once (default: the number of cores)\n"
    "  --plugin PATH     the plug-in module (default: next to this program)\n"
    "  --quiet           no progress on standard error\n"
    "  --case TEXT       the table only for \"CATEGORY [player|follower|other]\n"
    "                    [power]\" (repeatable; default: every case)\n"
    "  --start HEALTH    the table only from this starting health, 1 to 100\n"
    "                    (repeatable; default: 1.0, 1.1, 1.3 and 1.6)\n"
    "\n"
    "Compare: both files run on the same seeds. Every case shows A and B side by\n"
    "side with the change of the median and its 95% bootstrap interval; * marks\n"
    "a change beyond run-to-run noise. Cases that did not change take one line.\n"
    "\n"
    "Solve: --target TEXT (repeatable) or --targets FILE (one a line, # starts a\n"
    "comment), and --vary KEYS, the settings that may change, comma-separated as\n"
    "Section.Key (DegradationRate.WeaponSword,BreakChance.WeaponSword), each with\n"
    "an optional range =LOW:HIGH. A target reads\n"
    "  CATEGORY worn|break STAT = HITS [within P%] [from HEALTH] [for ACTOR] [power]\n"
    "  CATEGORY worn|break STAT between LOW and HIGH [from HEALTH] [for ACTOR] [power]\n"
    "with STAT mean, p10, p50 or p90, ACTOR player (the default), follower or\n"
    "other, HEALTH the starting health (default 1.0), a tolerance of 5% when\n"
    "none is given. Example: \"WeaponSword break p50 = 300 from 1.1\".\n"
    "\n"
    "Item table: for each NAME=FILE, the hits until worn out and until broken\n"
    "(median, p10 to p90) of a sword, a greatsword, a bow, heavy and light body\n"
    "armour and a heavy shield (worn by the hits it blocks), from a fine temper\n"
    "(health 1.1), for the player and a follower, as one Markdown table.\n"
    "\n"
    "Workers: every job (one category, actor and attack) runs in a process of its\n"
    "own with its own seed, so the results do not depend on --workers. The\n"
    "follower and other-actor rows are simulated as if OnlyPlayer were false.\n"
    "The engine wears an actor at most once between two clearings of its recent\n"
    "hits, so every round of hits (one per actor) is followed by two update\n"
    "events; the figures count both. The player's trials run on stand-ins, each\n"
    "made the game's player right before its hit.\n"
    "Exits 0 on success, 1 when the settings turn degradation off, the game\n"
    "double saw a broken contract or a target was not reached, 2 for bad\n"
    "arguments or a file that cannot be read.\n";

bool ReadNumberArg(const char* text, std::uint64_t low, std::uint64_t high, std::uint64_t& out) {
  char* end = nullptr;
  if (text[0] == '-' || text[0] == '\0') return false;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (*end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

// "CATEGORY [player|follower|other] [power]", the category spelled as in the
// settings file, in any case.
bool ParseCaseText(const std::string& text, JobSpec& spec) {
  std::istringstream words(text);
  std::string category, word;
  if (!(words >> category)) return false;
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  spec.category = -1;
  for (int c = 0; c < kCategoryCount; ++c) {
    if (lower(category) == lower(kCategoryNames[c])) spec.category = c;
  }
  if (spec.category < 0) return false;
  spec.actor = ActorKind::Player;
  spec.powerAttack = false;
  bool actorGiven = false;
  while (words >> word) {
    if (!actorGiven && !spec.powerAttack && (word == "player" || word == "follower" || word == "other")) {
      spec.actor = word == "player" ? ActorKind::Player : word == "follower" ? ActorKind::Follower : ActorKind::Other;
      actorGiven = true;
    } else if (word == "power" && !spec.powerAttack) {
      spec.powerAttack = true;
    } else {
      return false;
    }
  }
  return true;
}

// A folder of this run's own under the temporary folder, removed at the end.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    std::random_device device;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
      const auto candidate = base / ("qm-tune-" + std::to_string(device()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path = candidate.string();
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

bool Readable(const std::string& path) {
  std::error_code error;
  std::ifstream in(path, std::ios::binary);
  return std::filesystem::is_regular_file(path, error) && static_cast<bool>(in);
}

// The plotting library, looked up before the run so that a missing one does
// not cost a run; none is needed without a report.
bool FindLibraryFor(const std::string& reportPath, const RunSetup& setup, std::optional<PlotLibrary>& library) {
  if (reportPath.empty()) return true;
  std::string error;
  library = FindPlotLibrary(setup.pool.program, error);
  if (!library) std::fprintf(stderr, "qm tune: %s\n", error.c_str());
  return library.has_value();
}

int Table(const std::string& settingsPath, const std::vector<JobSpec>& specs, const RunSetup& setup,
          const std::string& reportPath) {
  std::vector<LabRun> runs;
  std::string error;
  std::optional<PlotLibrary> library;
  if (!FindLibraryFor(reportPath, setup, library)) return 2;
  std::size_t caseCount = 0;
  for (const JobSpec& spec : specs) caseCount += spec.starts.size();
  std::printf("Running %zu cases x %u trials on %u worker(s)...\n", caseCount, setup.pool.trials, setup.pool.workers);
  std::fflush(stdout);
  if (!RunLabs({SimulationSettings(settingsPath, {})}, specs, setup, runs, error)) {
    std::fprintf(stderr, "qm tune: %s\n", error.c_str());
    return 2;
  }
  const LabRun& run = runs[0];
  if (run.degradationOff) {
    std::printf("\nThese settings turn degradation off (DisableDegradation=true): no item is ever worn.\n");
    return 1;
  }
  TuneSummary summary{settingsPath.empty() ? "(defaults)" : settingsPath, run.threshold, setup.pool.trials,
                      setup.pool.cap, run.figures};
  PrintTable(stdout, run.cases, summary);
  if (!reportPath.empty()) {
    if (!WriteTuneReport(reportPath, *library, run.cases, summary)) {
      std::fprintf(stderr, "qm tune: cannot write the report %s\n", reportPath.c_str());
      return 2;
    }
    std::printf("report: %s\n", reportPath.c_str());
  }
  return run.violations == 0 ? 0 : 1;
}

int Compare(const std::string& pathA, const std::string& pathB, const RunSetup& setup, const std::string& reportPath) {
  std::vector<LabRun> runs;
  std::string error;
  std::optional<PlotLibrary> library;
  if (!FindLibraryFor(reportPath, setup, library)) return 2;
  std::printf("Comparing %s (A) with %s (B): %zu cases x %u trials each on %u worker(s)...\n", pathA.c_str(),
              pathB.c_str(), AllJobSpecs().size() * std::size(kStartHealths), setup.pool.trials, setup.pool.workers);
  std::fflush(stdout);
  if (!RunLabs({SimulationSettings(pathA, {}), SimulationSettings(pathB, {})}, AllJobSpecs(), setup, runs, error)) {
    std::fprintf(stderr, "qm tune: %s\n", error.c_str());
    return 2;
  }
  for (std::size_t i = 0; i < 2; ++i) {
    if (runs[i].degradationOff) {
      std::printf("\n%s turns degradation off (DisableDegradation=true): no item is ever worn.\n",
                  (i == 0 ? pathA : pathB).c_str());
      return 1;
    }
  }
  PrintComparison(stdout, runs[0], runs[1], {pathA, pathB, setup.pool.trials, setup.pool.cap});
  LabFigures total = runs[0].figures;
  total.hitEvents += runs[1].figures.hitEvents;
  total.updateEvents += runs[1].figures.updateEvents;
  total.cpuSeconds += runs[1].figures.cpuSeconds;
  std::printf("%s\n", HitsPerSecond(total).c_str());
  if (!reportPath.empty()) {
    const TuneSummary summaryA{pathA, runs[0].threshold, setup.pool.trials, setup.pool.cap, runs[0].figures};
    const TuneSummary summaryB{pathB, runs[1].threshold, setup.pool.trials, setup.pool.cap, runs[1].figures};
    if (!WriteCompareReport(reportPath, *library, runs[0].cases, summaryA, runs[1].cases, summaryB)) {
      std::fprintf(stderr, "qm tune: cannot write the report %s\n", reportPath.c_str());
      return 2;
    }
    std::printf("report: %s\n", reportPath.c_str());
  }
  return runs[0].violations + runs[1].violations == 0 ? 0 : 1;
}

}  // namespace

int TuneCommandLine(int argc, char** argv, const char* argv0) {
  if (argc >= 1 && std::string(argv[0]) == "--worker") return WorkerMain(argc - 1, argv + 1);
  std::vector<std::string> settingsPaths, targetTexts;
  std::vector<JobSpec> tableCases;
  std::vector<double> tableStarts;
  std::string reportPath, targetsFile, varyText;
  std::string pluginPath = qm::scenario::DefaultPluginPath(argv0);
  std::uint64_t trials = 200, cap = 100000, seed = 5489, workers = CoreCount();
  bool quiet = false, itemTable = false;
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
    } else if (arg == "--workers") {
      if (!hasValue || !ReadNumberArg(argv[++i], 1, 256, workers)) {
        std::fprintf(stderr, "qm tune: --workers takes a number from 1 to 256\n");
        return 2;
      }
    } else if (arg == "--case") {
      JobSpec spec;
      if (!hasValue || !ParseCaseText(argv[++i], spec)) {
        std::fprintf(stderr, "qm tune: --case takes \"CATEGORY [player|follower|other] [power]\"%s%s%s\n",
                     hasValue ? ", not \"" : "", hasValue ? argv[i] : "", hasValue ? "\"" : "");
        return 2;
      }
      tableCases.push_back(spec);
    } else if (arg == "--start") {
      char* end = nullptr;
      const double start = hasValue ? std::strtod(argv[++i], &end) : 0.0;
      if (!hasValue || *end != '\0' || !(start >= 1.0 && start <= 100.0)) {
        std::fprintf(stderr, "qm tune: --start takes a starting health from 1 to 100\n");
        return 2;
      }
      tableStarts.push_back(start);
    } else if (arg == "--report" && hasValue) {
      reportPath = argv[++i];
    } else if (arg == "--plugin" && hasValue) {
      pluginPath = argv[++i];
    } else if (arg == "--target" && hasValue) {
      targetTexts.push_back(argv[++i]);
    } else if (arg == "--targets" && hasValue) {
      targetsFile = argv[++i];
    } else if (arg == "--vary" && hasValue) {
      varyText = argv[++i];
    } else if (arg == "--quiet") {
      quiet = true;
    } else if (arg == "--item-table") {
      itemTable = true;
    } else if (arg.rfind("-", 0) == 0) {
      std::fprintf(stderr, "qm tune: unexpected argument \"%s\"\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      settingsPaths.push_back(arg);
    }
  }
  if (!itemTable && settingsPaths.size() > 2) {
    std::fprintf(stderr, "qm tune: unexpected argument \"%s\"\n%s", settingsPaths[2].c_str(), kUsage);
    return 2;
  }
  for (const std::string& argument : settingsPaths) {
    const std::string path = itemTable ? argument.substr(argument.find('=') + 1) : argument;
    if (!Readable(path)) {
      std::fprintf(stderr, "qm tune: cannot read the settings file \"%s\"\n", path.c_str());
      return 2;
    }
  }
  if (!Readable(pluginPath)) {
    std::fprintf(stderr, "qm tune: cannot read the plug-in \"%s\"\n", pluginPath.c_str());
    return 2;
  }
  const bool solving = !targetTexts.empty() || !targetsFile.empty() || !varyText.empty();
  if (itemTable && (solving || settingsPaths.empty() || !reportPath.empty())) {
    std::fprintf(stderr, "qm tune: --item-table takes one or more NAME=FILE, without targets or a report\n");
    return 2;
  }
  if ((!tableCases.empty() || !tableStarts.empty()) && (itemTable || solving || settingsPaths.size() > 1)) {
    std::fprintf(stderr, "qm tune: --case and --start choose the rows of the table of one file\n");
    return 2;
  }
  if (solving && settingsPaths.size() > 1) {
    std::fprintf(stderr, "qm tune: targets start from one settings file, not two\n");
    return 2;
  }

  ScratchFolder scratch;
  if (scratch.path.empty()) {
    std::fprintf(stderr, "qm tune: cannot make a temporary folder\n");
    return 2;
  }
  RunSetup setup;
  setup.seed = static_cast<std::uint32_t>(seed);
  setup.pool.program = ThisProgram(argv0);
  setup.pool.plugin = std::filesystem::absolute(pluginPath).string();
  setup.pool.folder = scratch.path;
  setup.pool.workers = static_cast<unsigned>(std::min<std::uint64_t>(workers, ParallelWorkerLimit()));
  setup.pool.trials = static_cast<std::uint32_t>(trials);
  setup.pool.cap = static_cast<std::uint32_t>(cap);
  setup.pool.showProgress = !quiet;

  const std::string first = settingsPaths.empty() ? "" : settingsPaths[0];
  if (itemTable) return ItemTableCommand(settingsPaths, setup);
  if (solving) return SolveCommand(first, targetTexts, targetsFile, varyText, setup);
  if (settingsPaths.size() == 2) return Compare(settingsPaths[0], settingsPaths[1], setup, reportPath);
  std::vector<JobSpec> specs = tableCases.empty() ? AllJobSpecs() : tableCases;
  if (!tableStarts.empty()) {
    for (JobSpec& spec : specs) spec.starts = tableStarts;
  } else if (!tableCases.empty()) {
    for (JobSpec& spec : specs) spec.starts.assign(std::begin(kStartHealths), std::end(kStartHealths));
  }
  return Table(first, specs, setup, reportPath);
}

}  // namespace qm::tune
