// The names of the files a scenario writes below the game's folder. They stay
// inside the run's folder and name distinct files on every system the runner
// works on: Windows ignores letter case, takes both slashes as separators and
// drops a trailing dot or blank from a name, and keeps device names (CON,
// NUL, COM1, ...) and a few characters for itself.
#include "scenario_checks.h"

#include <cctype>
#include <map>

namespace qm::scenario {
namespace {

bool IsDeviceName(const std::string& lowerName) {
  const std::string stem = lowerName.substr(0, lowerName.find('.'));
  if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul") return true;
  return stem.size() == 4 && (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) && stem[3] >= '0' &&
         stem[3] <= '9';
}

// The name's parts in the form two names that meet in one file share, or an
// error for a name that may not be written at all.
std::vector<std::string> NormalisedParts(const std::string& name, const std::string& place) {
  if (name.empty()) throw ScenarioError(place, "an empty file name");
  if (name[0] == '/' || name[0] == '\\') {
    throw ScenarioError(place, "an absolute path; files go below the game's folder, by relative path");
  }
  std::vector<std::string> parts(1);
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) throw ScenarioError(place, "a NUL byte in the file name");
    if (byte < 0x20 || byte == 0x7F) throw ScenarioError(place, "a control character in the file name");
    if (c == ':')
      throw ScenarioError(place, "a drive letter or ':' in the file name; files go below the game's folder");
    if (c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') {
      throw ScenarioError(place, std::string("'") + c + "' cannot stand in a file name on Windows");
    }
    if (c == '/' || c == '\\') {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(std::tolower(byte));
    }
  }
  for (const std::string& part : parts) {
    if (part.empty()) throw ScenarioError(place, "an empty name between separators or at the end");
    if (part == "." || part == "..")
      throw ScenarioError(place, "'.' and '..' are not allowed; files stay in the run's folder");
    if (part.back() == '.' || part.back() == ' ') {
      throw ScenarioError(place, "a name ending in a dot or a blank, which Windows drops");
    }
    if (IsDeviceName(part)) throw ScenarioError(place, "a device name of Windows (CON, NUL, COM1, ...)");
  }
  return parts;
}

}  // namespace

void CheckGameFileNames(const std::vector<std::pair<std::string, std::string>>& files) {
  std::map<std::string, std::string> fileNames;    // normalised name -> as written
  std::map<std::string, std::string> folderNames;  // normalised folder -> a file below it, as written
  for (const auto& [name, content] : files) {
    const std::string place = "files[" + Quoted(name) + "]";
    const std::vector<std::string> parts = NormalisedParts(name, place);
    std::string path;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      path += parts[i];
      if (auto file = fileNames.find(path); file != fileNames.end()) {
        throw ScenarioError(place, "its folder is the file " + Quoted(file->second));
      }
      folderNames.emplace(path, name);
      path += "/";
    }
    path += parts.back();
    if (auto file = fileNames.find(path); file != fileNames.end()) {
      throw ScenarioError(place, "names the same file as " + Quoted(file->second) + " (letter case and slashes aside)");
    }
    if (auto folder = folderNames.find(path); folder != folderNames.end()) {
      throw ScenarioError(place, "is the folder of " + Quoted(folder->second));
    }
    fileNames.emplace(path, name);
  }
}

}  // namespace qm::scenario
