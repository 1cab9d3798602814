#include "trace_file.h"

#include "ui_world.h"
#include "widget_calls.h"

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

bool WriteTraceFile(const std::string& path, RunContext& run, int result) {
  // Binary mode: "\n" stays one byte on Windows too.
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "== trace\n";
  for (const std::string& line : run.trace()) out << line << "\n";
  out << "== result " << result << "\n";
  if (gd::UiWorld* ui = run.world().FindComponent<gd::UiWorld>()) {
    out << "== widget calls\n";
    for (const std::string& line : WidgetCallLines(ui->invokes())) out << line << "\n";
  }
  WriteLog(out, run, -1);
  for (int alternative = 0; alternative < kLogAlternatives; ++alternative) WriteLog(out, run, alternative);
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qm::scenario
