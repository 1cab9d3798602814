#pragma once
// Helpers of the settings tests: the log lines a piece of code writes, and
// settings files in a folder of their own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace qmtest {

// Every log line also goes to standard output, which is all a unit test sees
// (no log file is open here).
inline std::vector<std::string> LogLinesOf(const std::function<void()>& body) {
  testing::internal::CaptureStdout();
  body();
  const std::string output = testing::internal::GetCapturedStdout();
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class TempFolder {
 public:
  TempFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() / ("qm-config-" + std::string(info->test_suite_name()) + "-" +
                                                      info->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Lines are ended with CR LF, as a Windows editor saves them.
  std::string Write(const std::string& name, const std::vector<std::string>& lines) const {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return WriteText(name, text);
  }
  std::string WriteText(const std::string& name, const std::string& text) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }
  std::string PathOf(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace qmtest
