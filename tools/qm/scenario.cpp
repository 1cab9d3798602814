#include "scenario.h"

#include <fstream>
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
    if (!known) throw ScenarioError(place, "unknown key \"" + it.key() + "\"");
  }
}

std::uint32_t ReadU32(const Json& value, const std::string& place) {
  if (value.is_number_unsigned()) {
    const auto n = value.get<std::uint64_t>();
    if (n <= 0xFFFFFFFFull) return static_cast<std::uint32_t>(n);
  } else if (value.is_number_integer()) {
    const auto n = value.get<std::int64_t>();
    if (n >= -2147483648LL && n <= 0xFFFFFFFFLL) return static_cast<std::uint32_t>(n);
  } else if (value.is_string()) {
    // Hexadecimal form ids and versions read better as "0x12EB7".
    const std::string text = value.get<std::string>();
    std::size_t used = 0;
    try {
      const unsigned long long n = std::stoull(text, &used, 0);
      if (used == text.size() && n <= 0xFFFFFFFFull) return static_cast<std::uint32_t>(n);
    } catch (const std::exception&) {
    }
  }
  throw ScenarioError(place, "expected a 32-bit number, got " + value.dump());
}

double ReadNumber(const Json& value, const std::string& place) {
  if (!value.is_number()) throw ScenarioError(place, "expected a number, got " + value.dump());
  return value.get<double>();
}

bool ReadBool(const Json& value, const std::string& place) {
  if (!value.is_boolean()) throw ScenarioError(place, "expected true or false, got " + value.dump());
  return value.get<bool>();
}

std::string ReadString(const Json& value, const std::string& place) {
  if (!value.is_string()) throw ScenarioError(place, "expected a string, got " + value.dump());
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
  CheckKeys(host, {"runtimeVersion", "editor", "messaging", "messagingVersion"}, place);
  HostOptions options;
  if (host.contains("runtimeVersion")) options.runtimeVersion = ReadU32(host["runtimeVersion"], place + ".runtimeVersion");
  if (host.contains("editor")) options.isEditor = ReadU32(host["editor"], place + ".editor");
  if (host.contains("messaging")) options.messagingAvailable = ReadBool(host["messaging"], place + ".messaging");
  if (host.contains("messagingVersion")) {
    options.messagingVersion = ReadU32(host["messagingVersion"], place + ".messagingVersion");
  }
  return options;
}

}  // namespace

Scenario ParseScenarioText(const std::string& text, const std::string& path) {
  Json root;
  try {
    root = Json::parse(text, nullptr, true, /*ignore_comments=*/true);
  } catch (const Json::parse_error& e) {
    throw ScenarioError(path, std::string("not valid JSON: ") + e.what());
  }
  CheckKeys(root, {"description", "seed", "host", "documents", "files", "world", "steps"}, path);
  Scenario scenario;
  scenario.path = path;
  if (root.contains("description")) scenario.description = ReadString(root["description"], "description");
  if (root.contains("seed")) scenario.seed = ReadU32(root["seed"], "seed");
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
      scenario.files.emplace_back(it.key(), ReadFileContent(it.value(), "files." + it.key()));
    }
  }
  if (root.contains("world")) {
    const Json& world = root["world"];
    if (!world.is_object()) throw ScenarioError("world", "expected an object");
    for (auto it = world.begin(); it != world.end(); ++it) {
      const std::string place = "world." + it.key();
      auto parser = WorldSectionParsers().find(it.key());
      if (parser == WorldSectionParsers().end()) throw ScenarioError(place, "unknown world section");
      scenario.world.emplace_back(place, parser->second(it.value(), place));
    }
  }
  const Json& steps = Member(root, "steps", path);
  if (!steps.is_array()) throw ScenarioError("steps", "expected a list");
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string place = "steps[" + std::to_string(i) + "]";
    const Json& step = steps[i];
    if (!step.is_object() || step.size() != 1) throw ScenarioError(place, "a step is an object with exactly one key");
    const std::string name = step.begin().key();
    auto parser = StepParsers().find(name);
    if (parser == StepParsers().end()) throw ScenarioError(place, "unknown step \"" + name + "\"");
    scenario.steps.emplace_back(place + "." + name, parser->second(step.begin().value(), place + "." + name));
  }
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
