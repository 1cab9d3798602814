#include "tune_jobs.h"

#include "tune_platform.h"
#include "tune_progress.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qm::tune {

std::vector<JobSpec> AllJobSpecs() {
  std::vector<JobSpec> specs;
  for (ActorKind actor : {ActorKind::Player, ActorKind::Follower, ActorKind::Other}) {
    for (bool power : {false, true}) {
      for (int category = 0; category < kCategoryCount; ++category) {
        specs.push_back(
            {category, actor, power, std::vector<double>(std::begin(kStartHealths), std::end(kStartHealths))});
      }
    }
  }
  return specs;
}

std::uint32_t JobSeed(std::uint32_t runSeed, const JobSpec& spec) {
  // splitmix64 of the seed and the job's identity: neighbouring jobs get unrelated seeds.
  // A shield's jobs come after every category's, so the others keep their seeds.
  const int item = spec.shield ? kCategoryCount : spec.category;
  const int job = item * 6 + static_cast<int>(spec.actor) * 2 + (spec.powerAttack ? 1 : 0);
  std::uint64_t x = (static_cast<std::uint64_t>(runSeed) << 16) ^ static_cast<std::uint64_t>(job);
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>(x ^ (x >> 31));
}

std::string JobSpecText(const JobSpec& spec) {
  std::string text = spec.shield ? "s" : "";
  text += std::to_string(spec.category) + "," + std::to_string(static_cast<int>(spec.actor)) + "," +
          (spec.powerAttack ? "1" : "0");
  for (double start : spec.starts) {
    char number[32];
    std::snprintf(number, sizeof number, ",%.17g", start);
    text += number;
  }
  return text;
}

bool ParseJobSpec(const std::string& text, JobSpec& spec) {
  std::istringstream in(text);
  std::string part;
  std::vector<std::string> parts;
  while (std::getline(in, part, ',')) parts.push_back(part);
  if (parts.size() < 4) return false;
  spec.shield = parts[0].rfind('s', 0) == 0;
  if (spec.shield) parts[0].erase(0, 1);
  char* end = nullptr;
  const long category = std::strtol(parts[0].c_str(), &end, 10);
  if (*end != '\0' || category < 0 || category >= kCategoryCount) return false;
  if (parts[1] != "0" && parts[1] != "1" && parts[1] != "2") return false;
  if (parts[2] != "0" && parts[2] != "1") return false;
  spec.category = static_cast<int>(category);
  spec.actor = static_cast<ActorKind>(parts[1][0] - '0');
  spec.powerAttack = parts[2] == "1";
  spec.starts.clear();
  for (std::size_t i = 3; i < parts.size(); ++i) {
    const double start = std::strtod(parts[i].c_str(), &end);
    if (*end != '\0' || !(start >= 1.0 && start <= 100.0)) return false;
    spec.starts.push_back(start);
  }
  return true;
}

bool WriteJobResult(const std::string& path, const JobResult& result) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  char line[256];
  std::snprintf(line, sizeof line, "threshold %.9g\noff %d\nviolations %u\nfigures %llu %llu %.9g %.9g\n",
                static_cast<double>(result.threshold), result.degradationOff ? 1 : 0, result.violations,
                static_cast<unsigned long long>(result.figures.hitEvents),
                static_cast<unsigned long long>(result.figures.updateEvents), result.figures.seconds,
                result.figures.cpuSeconds);
  out << line;
  for (const Case& c : result.cases) {
    std::snprintf(line, sizeof line, "case %.17g %d %d\n", c.startHealth, c.terms.wears ? 1 : 0,
                  c.terms.breaks ? 1 : 0);
    out << line;
    for (const auto* samples : {&c.hitsToWornOut, &c.hitsToBreak}) {
      out << samples->size();
      for (std::uint32_t v : *samples) out << ' ' << v;
      out << '\n';
    }
  }
  out << "end\n";
  return static_cast<bool>(out.flush());
}

bool ReadJobResult(const std::string& path, JobResult& result, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  std::string word;
  int off = 0;
  double threshold = 0;
  if (!(in >> word >> threshold) || word != "threshold" || !(in >> word >> off) || word != "off" ||
      !(in >> word >> result.violations) || word != "violations" ||
      !(in >> word >> result.figures.hitEvents >> result.figures.updateEvents >> result.figures.seconds >>
        result.figures.cpuSeconds) ||
      word != "figures") {
    error = "the worker's results " + path + " are incomplete";
    return false;
  }
  result.threshold = static_cast<float>(threshold);
  result.degradationOff = off != 0;
  result.cases.clear();
  while (in >> word && word == "case") {
    Case c;
    int wears = 0, breaks = 0;
    in >> c.startHealth >> wears >> breaks;
    c.terms = {wears != 0, breaks != 0};
    for (auto* samples : {&c.hitsToWornOut, &c.hitsToBreak}) {
      std::size_t count = 0;
      in >> count;
      if (!in || count > 100000000) break;
      samples->resize(count);
      for (std::uint32_t& v : *samples) in >> v;
    }
    if (!in) break;
    result.cases.push_back(std::move(c));
  }
  if (word != "end") {
    error = "the worker's results " + path + " are incomplete";
    return false;
  }
  return true;
}

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The end of a worker's output: its error message is there.
std::string Tail(const std::string& text, std::size_t lines) {
  std::size_t at = text.size();
  while (at > 0 && lines > 0) {
    at = text.rfind('\n', at - 1);
    if (at == std::string::npos) return text;
    --lines;
  }
  return text.substr(at + 1);
}

}  // namespace

bool RunJobs(const std::vector<Job>& jobs, const PoolOptions& options, std::vector<JobResult>& results,
             std::string& error) {
  results.assign(jobs.size(), JobResult{});
  const unsigned parallel = std::max(1u, std::min(options.workers, ParallelWorkerLimit()));
  std::vector<std::intptr_t> running;
  std::vector<std::size_t> runningJob;
  std::size_t next = 0, done = 0;
  Progress progress(jobs.size(), options.showProgress);
  const auto outputOf = [&](std::size_t job) { return options.folder + "/job" + std::to_string(job) + ".out"; };
  const auto resultOf = [&](std::size_t job) { return options.folder + "/job" + std::to_string(job) + ".txt"; };
  bool failed = false;
  while (done < jobs.size() && !(failed && running.empty())) {
    while (!failed && next < jobs.size() && running.size() < parallel) {
      const Job& job = jobs[next];
      const std::vector<std::string> arguments = {"tune",
                                                  "--worker",
                                                  resultOf(next),
                                                  "--job",
                                                  JobSpecText(job.spec),
                                                  "--settings",
                                                  job.settingsFile,
                                                  "--trials",
                                                  std::to_string(options.trials),
                                                  "--cap",
                                                  std::to_string(options.cap),
                                                  "--seed",
                                                  std::to_string(job.seed),
                                                  "--plugin",
                                                  options.plugin};
      const std::intptr_t worker = StartWorker(options.program, arguments, outputOf(next), error);
      if (worker < 0) {
        error = "cannot start a worker (" + options.program + "): " + error;
        failed = true;
        break;
      }
      running.push_back(worker);
      runningJob.push_back(next++);
    }
    if (running.empty()) break;
    std::size_t ended = 0;
    int exitCode = 0;
    WaitForWorker(running, ended, exitCode);
    if (ended >= running.size()) {
      error = "lost track of the workers";
      return false;
    }
    const std::size_t job = runningJob[ended];
    running.erase(running.begin() + static_cast<std::ptrdiff_t>(ended));
    runningJob.erase(runningJob.begin() + static_cast<std::ptrdiff_t>(ended));
    ++done;
    progress.Update(done);
    if (failed) continue;
    std::string readError;
    if ((exitCode != 0 && exitCode != 1) || !ReadJobResult(resultOf(job), results[job], readError)) {
      error = "a worker failed (exit " + std::to_string(exitCode) + ") on the job " + JobSpecText(jobs[job].spec) +
              "; its last output:\n" + Tail(ReadText(outputOf(job)), 6);
      failed = true;
    }
  }
  progress.Finish();
  return !failed;
}

}  // namespace qm::tune
