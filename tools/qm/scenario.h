#pragma once
// Scenarios: a game and a script of events with expectations, in JSON with
// comments. See scenarios/README.md for the format.
#include "printable.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm::scenario {

using Json = nlohmann::json;

class RunContext;

// A malformed scenario, with the place of the fault ("steps[3].query.expect").
// Places built from long keys and quotes of long text are cut short in the
// middle, so that a message stays readable whatever the file holds; control
// characters are written as \xNN, so that a key holding a NUL cannot end the
// message early.
class ScenarioError : public std::runtime_error {
 public:
  ScenarioError(const std::string& place, const std::string& what)
      : std::runtime_error(Readable(place) + ": " + Readable(what)) {}

 private:
  static std::string Readable(const std::string& text) {
    constexpr std::size_t kKept = 300;
    if (text.size() <= 2 * kKept) return Printable(text);
    return Printable(text.substr(0, kKept) + " ... " + text.substr(text.size() - kKept));
  }
};

// One parsed, validated step; runs against a live context.
using Step = std::function<void(RunContext&)>;
using StepParser = std::function<Step(const Json& argument, const std::string& place)>;

// Builds one section of the world description ("plugins", "actors", ...)
// once the world exists and before the plug-in is loaded.
using WorldSectionParser = std::function<Step(const Json& section, const std::string& place)>;

std::map<std::string, StepParser>& StepParsers();
std::map<std::string, WorldSectionParser>& WorldSectionParsers();

struct StepRegistration {
  StepRegistration(const char* name, StepParser parser) { StepParsers().emplace(name, std::move(parser)); }
};
struct WorldSectionRegistration {
  WorldSectionRegistration(const char* name, WorldSectionParser parser) {
    WorldSectionParsers().emplace(name, std::move(parser));
  }
};

struct HostOptions {
  // The runtime's own version unless the scenario gives another.
  bool runtimeVersionGiven = false;
  std::uint32_t runtimeVersion = 0x01050270;
  std::uint32_t isEditor = 0;
  bool messagingAvailable = true;
  std::uint32_t messagingVersion = 2;
  bool tasksAvailable = true;
};

struct Scenario {
  std::string path;
  std::string description;
  std::uint32_t seed = 5489;
  // The runtime of the game the double simulates ("1.5.39", "1.5.97", ...),
  // and whether its Address Library file is written into the game's folder.
  std::string runtime = "1.5.39";
  bool writeAddressLibrary = true;
  HostOptions host;
  bool documentsLookupFails = false;
  std::vector<std::pair<std::string, std::string>> files;  // game-folder relative path, content
  std::vector<std::pair<std::string, Step>> world;         // world sections, in file order
  std::vector<std::pair<std::string, Step>> steps;         // step name, step
};

Scenario ParseScenario(const std::string& path);
// Steps in a list, each an object with one key naming the step (repeat's too).
std::vector<std::pair<std::string, Step>> ParseStepList(const Json& list, const std::string& place);
Scenario ParseScenarioText(const std::string& text, const std::string& path);

// Limits that keep a malformed file from exhausting the runner: how deep
// lists and objects may nest, and how many steps and events (repeat times its
// steps, the counts of update and frames) one run may play.
constexpr int kMaxNesting = 64;
constexpr std::uint64_t kMaxEvents = 1000000;

// Helpers for step parsers: typed reads that name the place of a fault.
// ReadU32 takes 0 to 4294967295, or a string "0x..." or of decimal digits.
std::uint32_t ReadU32(const Json& value, const std::string& place);
// A count of units: 0 to 2147483647, as the game keeps them.
std::int32_t ReadCount(const Json& value, const std::string& place);
// Any number the game's signed 32-bit counts can hold.
std::int32_t ReadI32(const Json& value, const std::string& place);
double ReadNumber(const Json& value, const std::string& place);
// A finite number that fits in a 32-bit float.
float ReadFloat(const Json& value, const std::string& place);
bool ReadBool(const Json& value, const std::string& place);
std::string ReadString(const Json& value, const std::string& place);
std::vector<std::string> ReadStringList(const Json& value, const std::string& place);
const Json& Member(const Json& object, const char* key, const std::string& place);
void CheckKeys(const Json& object, std::initializer_list<const char*> allowed, const std::string& place);
// A value as an error message shows it: scalars as written (long ones cut
// short), lists and objects by kind only.
std::string Shown(const Json& value);
// A key or name inside a message or place, quoted, with control characters
// escaped and long ones cut short.
std::string Quoted(const std::string& text);

// What steps name in the game (items, references, actors, records): checked
// against what the world sections declare once the whole file is read, so
// that a misspelt name is a malformed file rather than a failed run.
enum class NameKind { Item, Reference, Actor, Holder };
void UseWorldName(NameKind kind, const std::string& name, const std::string& place);
void UseWorldRecord(std::uint32_t formId, const std::string& place);

// The world sections' declarations of one file, open while it is parsed: a
// parse that fails leaves nothing behind for the next one.
class WorldDeclarationScope {
 public:
  WorldDeclarationScope();
  ~WorldDeclarationScope();
  WorldDeclarationScope(const WorldDeclarationScope&) = delete;
  WorldDeclarationScope& operator=(const WorldDeclarationScope&) = delete;
  // Throws ScenarioError for a name no section declares, or one declared twice.
  void CheckNames() const;
};

}  // namespace qm::scenario

#define QM_CONCAT_INNER(a, b) a##b
#define QM_CONCAT(a, b) QM_CONCAT_INNER(a, b)
#define QM_SCENARIO_STEP(name, parser) \
  static const ::qm::scenario::StepRegistration QM_CONCAT(qmStep_, __LINE__)(name, parser)
#define QM_WORLD_SECTION(name, parser) \
  static const ::qm::scenario::WorldSectionRegistration QM_CONCAT(qmSection_, __LINE__)(name, parser)
