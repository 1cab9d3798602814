// qm-studio-settings-data: writes the studio's settings_data.js from the
// settings table, the shipped Quellmark.ini (each key's spelling and its
// comment) and the installer's presets. Fails when the table and the shipped
// file disagree, so that the page never shows a setting the plug-in lacks.
//
//   qm-studio-settings-data VERSION PACKAGING_FOLDER OUT.js
#include "config/config_store.h"
#include "config/settings_loader.h"
#include "config/settings_table.h"
#include "settings_file_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using qm::studio::ShippedFile;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A JavaScript string literal (JSON's rules, which JavaScript takes).
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else if (c >= 0x80) {
          // The files are ASCII by rule; anything else would reach the page
          // as mojibake.
          throw std::runtime_error("a byte outside ASCII in a shipped text");
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Number(double value) {
  if (!std::isfinite(value)) throw std::runtime_error("a value that is not finite");
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  // The shortest text that reads back as the same double.
  for (int digits = 1; digits <= 17; ++digits) {
    char shorter[40];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, value);
    if (std::strtod(shorter, nullptr) == value) return shorter;
  }
  return text;
}

// The shipped file as the mod's archive carries it: CRLF line ends.
std::string WithCrlf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') out += '\r';
    out += text[i];
  }
  return out;
}

// Every setting as the plug-in reads it from the file at path, by the
// plug-in's own reader.
std::string ValuesRead(const std::filesystem::path& path, const ShippedFile& shipped) {
  qm::config::ConfigStore store;
  qm::config::ApplySettingsFile(store, path.string());
  std::string out = "{";
  for (const qm::config::SettingInfo& info : qm::config::kSettings) {
    const double value = info.form == qm::config::ValueForm::Real ? store.Real(info.setting)
                                                                  : static_cast<double>(store.Whole(info.setting));
    if (out.size() > 1) out += ", ";
    out += Quoted(std::string(qm::config::NameOf(info.section)) + "." + shipped.KeyFor(info).spelling) + ": " +
           Number(value);
  }
  return out + "}";
}

// One preset of the installer: its folder name, the title and description the
// installer shows, and the file it installs.
struct Preset {
  std::string name;
  std::string title;
  std::string description;
  std::filesystem::path file;
};

std::string XmlText(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (std::size_t at = 0; (at = text.find(entity, at)) != std::string::npos; at += std::strlen(plain)) {
      text.replace(at, std::strlen(entity), plain);
    }
  }
  return text;
}

std::string Between(const std::string& text, const std::string& open, const std::string& close, std::size_t from,
                    std::size_t limit) {
  const std::size_t start = text.find(open, from);
  if (start == std::string::npos || start >= limit) return {};
  const std::size_t end = text.find(close, start + open.size());
  if (end == std::string::npos || end > limit) return {};
  return text.substr(start + open.size(), end - start - open.size());
}

// The installer's "Preset" group: each plugin's name, description and the
// Quellmark.ini it installs, mapped back to the packaging folder.
std::vector<Preset> InstallerPresets(const std::filesystem::path& packaging) {
  const std::string xml = ReadText(packaging / "fomod" / "ModuleConfig.xml");
  const std::size_t group = xml.find("<group name=\"Preset\"");
  const std::size_t groupEnd = xml.find("</group>", group);
  if (group == std::string::npos || groupEnd == std::string::npos) {
    throw std::runtime_error("ModuleConfig.xml has no Preset group");
  }
  std::vector<Preset> presets;
  for (std::size_t at = xml.find("<plugin name=\"", group); at != std::string::npos && at < groupEnd;
       at = xml.find("<plugin name=\"", at + 1)) {
    const std::size_t end = xml.find("</plugin>", at);
    Preset preset;
    preset.title = XmlText(Between(xml, "<plugin name=\"", "\"", at, end));
    preset.description = XmlText(Between(xml, "<description>", "</description>", at, end));
    std::string source = Between(xml, "<file source=\"", "\"", at, end);
    for (char& c : source) {
      if (c == '\\') c = '/';
    }
    // Archive paths: the shipped file, or fomod/presets/NAME/Quellmark.ini.
    const std::string presetPrefix = "fomod/presets/";
    if (source == "SKSE/Plugins/Quellmark/Quellmark.ini") {
      preset.name = "defaults";
      preset.file = packaging / "Quellmark.ini";
    } else if (source.rfind(presetPrefix, 0) == 0 && source.size() > presetPrefix.size()) {
      const std::string rest = source.substr(presetPrefix.size());
      preset.name = rest.substr(0, rest.find('/'));
      preset.file = packaging / "presets" / rest;
    } else {
      throw std::runtime_error("a preset installs \"" + source + "\", which is not a settings file of packaging/");
    }
    if (preset.title.empty()) throw std::runtime_error("a preset without a name in ModuleConfig.xml");
    presets.push_back(preset);
  }
  if (presets.empty()) throw std::runtime_error("ModuleConfig.xml lists no preset");
  // A preset folder the installer does not offer would be missing from the
  // studio without a word.
  for (const auto& folder : std::filesystem::directory_iterator(packaging / "presets")) {
    if (!std::filesystem::exists(folder.path() / "Quellmark.ini")) continue;
    const std::string name = folder.path().filename().string();
    bool offered = false;
    for (const Preset& preset : presets) offered = offered || preset.name == name;
    if (!offered) throw std::runtime_error("packaging/presets/" + name + " is not a preset of ModuleConfig.xml");
  }
  return presets;
}

void Write(const std::string& version, const std::filesystem::path& packaging, const std::filesystem::path& out) {
  const std::filesystem::path shippedPath = packaging / "Quellmark.ini";
  const ShippedFile shipped = ShippedFile::Parse(ReadText(shippedPath), shippedPath.string());
  shipped.RequireDefaults(shippedPath.string());
  const std::vector<Preset> presets = InstallerPresets(packaging);

  std::string js;
  js += "// Made by qm-studio-settings-data from the settings table, packaging/Quellmark.ini and the\n";
  js += "// installer's presets at build time. Do not edit.\n";
  js += "(function (root) {\n  var data = {\n";
  js += "    version: " + Quoted(version) + ",\n";
  js += "    sections: [";
  for (std::size_t i = 0; i < qm::config::kSectionNames.size(); ++i) {
    js += (i ? ", " : "") + Quoted(qm::config::kSectionNames[i]);
  }
  js += "],\n    fileNote: " + Quoted(shipped.fileNote) + ",\n    sectionNotes: {";
  for (std::size_t i = 0; i < qm::config::kSectionNames.size(); ++i) {
    js += std::string(i ? ", " : "") + Quoted(qm::config::kSectionNames[i]) + ": " + Quoted(shipped.sectionNotes[i]);
  }
  js += "},\n    settings: [\n";
  for (const qm::config::SettingInfo& info : qm::config::kSettings) {
    const ShippedFile::Key& key = shipped.KeyFor(info);
    const char* form = info.form == qm::config::ValueForm::Word    ? "word"
                       : info.form == qm::config::ValueForm::Whole ? "whole"
                                                                   : "real";
    js += "      {section: " + Quoted(qm::config::NameOf(info.section)) + ", key: " + Quoted(key.spelling) +
          ", form: " + Quoted(form) + ", default: " + Number(info.defaultValue);
    js += ", maximum: " + (info.form == qm::config::ValueForm::Whole ? Number(info.maximum) : std::string("null"));
    js += ", word: " + (info.word ? Quoted(info.word) : std::string("null"));
    js += ", wordValue: " + (info.word ? Number(info.wordValue) : std::string("null"));
    js += ", description: " + Quoted(key.description) + "},\n";
  }
  js += "    ],\n    presets: [\n";
  for (const Preset& preset : presets) {
    const std::string text = ReadText(preset.file);
    // Only values may differ from the shipped file: the same keys in the same
    // sections and order, so the page's export of a preset keeps its shape.
    ShippedFile::Parse(text, preset.file.string()).RequireSameKeys(shipped, preset.file.string());
    js += "      {name: " + Quoted(preset.name) + ", title: " + Quoted(preset.title) +
          ", description: " + Quoted(preset.description) + ",\n       values: " + ValuesRead(preset.file, shipped) +
          ",\n       ini: " + Quoted(WithCrlf(text)) + "},\n";
  }
  js += "    ],\n";
  js += "    shippedIni: " + Quoted(WithCrlf(ReadText(shippedPath))) + ",\n";
  js += "    shippedNoBreak: " + Quoted(WithCrlf(ReadText(packaging / "NoBreakForms.ini"))) + "\n";
  js += "  };\n";
  js += "  var settings = root.QmSettings || (root.QmSettings = {});\n";
  js += "  settings.data = data;\n";
  js += "  if (typeof module !== \"undefined\" && module.exports) module.exports = data;\n";
  js += "})(typeof globalThis !== \"undefined\" ? globalThis : this);\n";

  std::filesystem::create_directories(out.parent_path());
  const std::filesystem::path partial = out.string() + ".part";
  {
    std::ofstream file(partial, std::ios::binary);
    file << js;
    if (!file) throw std::runtime_error("cannot write " + partial.string());
  }
  std::filesystem::rename(partial, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: qm-studio-settings-data VERSION PACKAGING_FOLDER OUT.js\n");
    return 2;
  }
  try {
    Write(argv[1], argv[2], argv[3]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qm-studio-settings-data: %s\n", error.what());
    return 1;
  }
  return 0;
}
