#include "trace_file.h"

#include <filesystem>
#include <fstream>

namespace qm::scenario {
namespace {

constexpr int kLogAlternatives = 5;  // Quellmark.log0 to Quellmark.log4

void WriteLog(std::ofstream& out, const RunContext& run, int alternative) {
  const std::string path = run.LogPath(alternative);
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return;
  out << "== log " << std::filesystem::path(path).filename().string() << "\n";
  for (const std::string& line : run.ReadLog(alternative)) out << line << "\n";
}

}  // namespace

bool WriteTraceFile(const std::string& path, const RunContext& run, int result) {
  // Binary mode: "\n" stays one byte on Windows too.
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "== trace\n";
  for (const std::string& line : run.trace()) out << line << "\n";
  out << "== result " << result << "\n";
  WriteLog(out, run, -1);
  for (int alternative = 0; alternative < kLogAlternatives; ++alternative) WriteLog(out, run, alternative);
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qm::scenario
