#include "scenario.h"

#include "runtime_offsets.h"
#include "scenario_checks.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>

namespace qm::scenario {

std::map<std::string, StepParser>& StepParsers() {
  static std::map<std::string, StepParser> parsers;
  return parsers;
}

std::map<std::string, WorldSectionParser>& WorldSectionParsers() {
  static std::map<std::string, WorldSectionParser> parsers;
  return parsers;
}

const Json& Member(const Json& object, const char* key, const std::string& place) {
  if (!object.is_object()) throw ScenarioError(place, "expected an object");
  auto it = object.find(key);
  if (it == object.end()) throw ScenarioError(place, std::string("missing \"") + key + "\"");
  return *it;
}

void CheckKeys(const Json& object, std::initializer_list<const char*> allowed, const std::string& place) {
  if (!object.is_object()) throw ScenarioError(place, "expected an object");
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool known = false;
    for (const char* name : allowed) known = known || it.key() == name;
    if (!known) throw ScenarioError(place, "unknown key " + Quoted(it.key()));
  }
}

std::string Quoted(const std::string& text) {
  constexpr std::size_t kLongest = 60;
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == kLongest) {
      out += "...";
      break;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      if (c == '"' || c == '\\') out += '\\';
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Shown(const Json& value) {
  if (value.is_array()) return "a list";
  if (value.is_object()) return "an object";
  if (value.is_string()) return Quoted(value.get<std::string>());
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

// A whole number of the given range from a JSON number, or from a string of
// decimal digits or "0x" and hexadecimal digits (no sign, no blanks).
std::int64_t ReadWhole(const Json& value, std::int64_t lowest, std::int64_t highest, const std::string& place,
                       const char* expected) {
  bool read = false;
  std::int64_t n = 0;
  bool tooLarge = false;
  if (value.is_number_unsigned()) {
    const auto u = value.get<std::uint64_t>();
    tooLarge = u > static_cast<std::uint64_t>(highest);
    n = tooLarge ? highest : static_cast<std::int64_t>(u);
    read = true;
  } else if (value.is_number_integer()) {
    n = value.get<std::int64_t>();
    read = true;
  } else if (value.is_string()) {
    const std::string text = value.get<std::string>();
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t first = hex ? 2 : 0;
    read = !text.empty() && first < text.size();
    std::uint64_t u = 0;
    for (std::size_t i = first; read && i < text.size(); ++i) {
      const char c = text[i];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) read = false;
      if (!tooLarge && read) {
        u = u * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        tooLarge = u > static_cast<std::uint64_t>(highest);
      }
    }
    n = tooLarge ? highest : static_cast<std::int64_t>(u);
  }
  if (!read) throw ScenarioError(place, std::string("expected ") + expected + ", got " + Shown(value));
  if (tooLarge || n > highest) throw ScenarioError(place, Shown(value) + " is too large for " + expected);
  if (n < lowest && lowest == 0)
    throw ScenarioError(place, Shown(value) + " is negative where " + expected + " is meant");
  if (n < lowest) throw ScenarioError(place, Shown(value) + " is too small for " + expected);
  return n;
}

}  // namespace

std::uint32_t ReadU32(const Json& value, const std::string& place) {
  return static_cast<std::uint32_t>(ReadWhole(value, 0, 0xFFFFFFFFLL, place, "a 32-bit number (0 to 4294967295)"));
}

std::int32_t ReadCount(const Json& value, const std::string& place) {
  return static_cast<std::int32_t>(ReadWhole(value, 0, 0x7FFFFFFFLL, place, "a count (0 to 2147483647)"));
}

std::int32_t ReadI32(const Json& value, const std::string& place) {
  return static_cast<std::int32_t>(
      ReadWhole(value, -0x80000000LL, 0x7FFFFFFFLL, place, "a signed 32-bit number (-2147483648 to 2147483647)"));
}

double ReadNumber(const Json& value, const std::string& place) {
  if (!value.is_number()) throw ScenarioError(place, "expected a number, got " + Shown(value));
  const double n = value.get<double>();
  if (!std::isfinite(n)) throw ScenarioError(place, "expected a finite number");
  return n;
}

float ReadFloat(const Json& value, const std::string& place) {
  const double n = ReadNumber(value, place);
  if (std::fabs(n) > static_cast<double>(std::numeric_limits<float>::max())) {
    throw ScenarioError(place, Shown(value) + " is out of range for a 32-bit float");
  }
  return static_cast<float>(n);
}

bool ReadBool(const Json& value, const std::string& place) {
  if (!value.is_boolean()) throw ScenarioError(place, "expected true or false, got " + Shown(value));
  return value.get<bool>();
}

std::string ReadString(const Json& value, const std::string& place) {
  if (!value.is_string()) throw ScenarioError(place, "expected a string, got " + Shown(value));
  return value.get<std::string>();
}

std::vector<std::string> ReadStringList(const Json& value, const std::string& place) {
  if (!value.is_array()) throw ScenarioError(place, "expected a list of strings");
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < value.size(); ++i) {
    lines.push_back(ReadString(value[i], place + "[" + std::to_string(i) + "]"));
  }
  return lines;
}

namespace {

// A file's content: one string as it stands, or a list of lines each ended
// by CR LF, as a Windows editor saves them.
// {"hex": "EFBBBF5B..."}: any bytes, such as a byte-order mark or UTF-16,
// which a JSON string (always UTF-8) cannot carry.
std::string ReadHexContent(const Json& value, const std::string& place) {
  CheckKeys(value, {"hex"}, place);
  const std::string hex = ReadString(Member(value, "hex", place), place + ".hex");
  const auto digit = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw ScenarioError(place + ".hex", "expected hexadecimal digits");
  };
  if (hex.size() % 2 != 0) throw ScenarioError(place + ".hex", "expected an even number of hexadecimal digits");
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
  return bytes;
}

std::string ReadFileContent(const Json& value, const std::string& place) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_object()) return ReadHexContent(value, place);
  std::string text;
  for (const std::string& line : ReadStringList(value, place)) text += line + "\r\n";
  return text;
}

HostOptions ReadHost(const Json& host, const std::string& place) {
  CheckKeys(host, {"runtimeVersion", "editor", "messaging", "messagingVersion", "tasks"}, place);
  HostOptions options;
  if (host.contains("runtimeVersion")) {
    options.runtimeVersion = ReadU32(host["runtimeVersion"], place + ".runtimeVersion");
    options.runtimeVersionGiven = true;
  }
  if (host.contains("editor")) options.isEditor = ReadU32(host["editor"], place + ".editor");
  if (host.contains("tasks")) options.tasksAvailable = ReadBool(host["tasks"], place + ".tasks");
  if (host.contains("messaging")) options.messagingAvailable = ReadBool(host["messaging"], place + ".messaging");
  if (host.contains("messagingVersion")) {
    options.messagingVersion = ReadU32(host["messagingVersion"], place + ".messagingVersion");
  }
  return options;
}

}  // namespace

namespace {

std::pair<std::string, Step> ParseStep(const Json& step, const std::string& place) {
  if (!step.is_object() || step.size() != 1) throw ScenarioError(place, "a step is an object with exactly one key");
  const std::string& name = step.begin().key();
  auto parser = StepParsers().find(name);
  if (parser == StepParsers().end()) throw ScenarioError(place, "unknown step " + Quoted(name));
  const std::string stepPlace = place + "." + name;
  return {stepPlace, parser->second(step.begin().value(), stepPlace)};
}

}  // namespace

std::vector<std::pair<std::string, Step>> ParseStepList(const Json& list, const std::string& place) {
  if (!list.is_array()) throw ScenarioError(place, "expected a list of steps");
  std::vector<std::pair<std::string, Step>> steps;
  steps.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i)
    steps.push_back(ParseStep(list[i], place + "[" + std::to_string(i) + "]"));
  return steps;
}

Scenario ParseScenarioText(const std::string& text, const std::string& path) {
  const Json root = ParseLimitedJson(text);
  CheckKeys(root, {"description", "seed", "runtime", "addressLibrary", "host", "documents", "files", "world", "steps"},
            "the top level");
  Scenario scenario;
  scenario.path = path;
  if (root.contains("description")) scenario.description = ReadString(root["description"], "description");
  if (root.contains("seed")) scenario.seed = ReadU32(root["seed"], "seed");
  if (root.contains("runtime")) {
    scenario.runtime = ReadString(root["runtime"], "runtime");
    if (gd::FindRuntime(scenario.runtime) == nullptr) {
      throw ScenarioError("runtime",
                          "expected one of " + gd::SimulatedRuntimeNames() + ", not " + Quoted(scenario.runtime));
    }
  }
  if (root.contains("addressLibrary")) {
    const std::string library = ReadString(root["addressLibrary"], "addressLibrary");
    if (library != "written" && library != "absent") {
      throw ScenarioError("addressLibrary", "expected \"written\" or \"absent\"");
    }
    scenario.writeAddressLibrary = library == "written";
  }
  if (root.contains("host")) scenario.host = ReadHost(root["host"], "host");
  if (root.contains("documents")) {
    const std::string documents = ReadString(root["documents"], "documents");
    if (documents != "ok" && documents != "fail") throw ScenarioError("documents", "expected \"ok\" or \"fail\"");
    scenario.documentsLookupFails = documents == "fail";
  }
  if (root.contains("files")) {
    const Json& files = root["files"];
    if (!files.is_object()) throw ScenarioError("files", "expected an object of path: content");
    for (auto it = files.begin(); it != files.end(); ++it) {
      scenario.files.emplace_back(it.key(), ReadFileContent(it.value(), "files[" + Quoted(it.key()) + "]"));
    }
    CheckGameFileNames(scenario.files);
  }
  WorldDeclarationScope declarations;
  if (root.contains("world")) {
    const Json& world = root["world"];
    if (!world.is_object()) throw ScenarioError("world", "expected an object");
    for (auto it = world.begin(); it != world.end(); ++it) {
      const std::string place = "world." + it.key();
      auto parser = WorldSectionParsers().find(it.key());
      if (parser == WorldSectionParsers().end())
        throw ScenarioError("world", "unknown world section " + Quoted(it.key()));
      scenario.world.emplace_back(place, parser->second(it.value(), place));
    }
  }
  const Json& steps = Member(root, "steps", "the top level");
  scenario.steps = ParseStepList(steps, "steps");
  CheckEventCount(steps);
  declarations.CheckNames();
  return scenario;
}

Scenario ParseScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError(path, "cannot read the file");
  std::stringstream text;
  text << in.rdbuf();
  return ParseScenarioText(text.str(), path);
}

}  // namespace qm::scenario
