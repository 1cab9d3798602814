#include "file_report.h"

#include "file_encoding.h"
#include "printable.h"

#include "config/profile_section.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qm::check {

std::string ShownText(const std::string& text) { return Printable(text, HighBytes::kShownAsHex); }

namespace {

// A long entry is shown by its start and its length.
std::string Abridged(const std::string& text, std::size_t shownBytes) {
  if (text.size() <= shownBytes) return ShownText(text);
  return ShownText(text.substr(0, shownBytes)) + "...(" + std::to_string(text.size()) + " bytes)";
}

void PrintEntry(std::FILE* out, const std::string& entry, const std::string& verdict) {
  std::fprintf(out, "    %-34s %s\n", Abridged(entry, 60).c_str(), Abridged(verdict, 160).c_str());
}

}  // namespace

bool FillsProfileBuffer(const std::vector<std::string>& texts) {
  std::size_t bytes = 1;
  for (const std::string& text : texts) bytes += text.size() + 1;
  return bytes + 1 >= config::kProfileBufferSize;
}

bool PrintSection(std::FILE* out, const std::string& path, const std::string& section, std::vector<Seen*> reports) {
  const std::vector<std::string> entries = config::ReadProfileSection(section, path);
  const bool cut = FillsProfileBuffer(entries);
  for (const std::string& entry : entries) {
    auto it = std::find_if(reports.begin(), reports.end(), [&](const Seen* s) { return s->entry == entry; });
    if (it == reports.end()) {
      PrintEntry(out, entry, entry.empty() ? "skipped: empty" : "skipped");
      continue;
    }
    PrintEntry(out, entry, (*it)->verdict);
    reports.erase(it);
  }
  if (cut) {
    std::fprintf(out,
                 "    dropped: the section fills the plug-in's %zu-byte buffer; the rest of it is never read and "
                 "the last entry shown may be cut short\n",
                 config::kProfileBufferSize);
  }
  return cut;
}

int ReportLinesOutsideSections(std::FILE* out, const std::string& path) {
  int reported = 0;
  for (const std::string& entry : config::ReadProfileSection("", path)) {
    if (entry.rfind('#', 0) == 0) continue;
    const char* why = entry.rfind('[', 0) == 0 ? "no ']', so not a section header; " : "";
    std::fprintf(out, "  (before any section) %s  dropped: %soutside any section, never read\n",
                 Abridged(entry, 60).c_str(), why);
    ++reported;
  }
  return reported;
}

std::string ReaderPath(const std::string& path) {
  if (path.find_first_of("/\\") != std::string::npos) return path;
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? "./" + path : full.string();
}

int ReportFileForm(std::FILE* out, const std::string& path) {
  const FileEncoding encoding = InspectEncoding(path);
  if (!encoding.byteOrderMark.empty()) {
    std::fprintf(out, "  (%s with a byte-order mark: read as %s; characters outside code page 1252 read as '?')\n",
                 encoding.byteOrderMark.c_str(), encoding.byteOrderMark.c_str());
  }
  for (const int lines : encoding.unnamedSectionLines) {
    std::fprintf(out, "  []  dropped: a section header without a name; the %d line%s below it %s never read\n", lines,
                 lines == 1 ? "" : "s", lines == 1 ? "is" : "are");
  }
  const int problems = static_cast<int>(encoding.unnamedSectionLines.size());
  if (!encoding.nulCharacters) return problems;
  std::fprintf(out, "  NUL characters in the file: each ends the name or value it falls in%s\n",
               encoding.byteOrderMark.empty() ? " (a UTF-16 file needs a byte-order mark to be read as UTF-16)" : "");
  return problems + 1;
}


bool PrintLogLines(std::FILE* out, const std::string& captured) {
  bool any = false;
  std::size_t at = 0;
  while (at < captured.size()) {
    std::size_t end = captured.find('\n', at);
    if (end == std::string::npos) end = captured.size();
    std::string line = captured.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::fprintf(out, "%s\n", ShownText(line).c_str());
    any = true;
    at = end + 1;
  }
  return any;
}

}  // namespace qm::check
