#include "tune_platform.h"

#include "platform/posix_profile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qm::tune {

std::vector<std::string> ProfileSectionEntries(const std::string& section, const std::string& path) {
  std::vector<char> buffer(0x8000, '\0');
  platform::PosixProfileSection(section.c_str(), buffer.data(), static_cast<std::uint32_t>(buffer.size()),
                                path.c_str());
  std::vector<std::string> entries;
  for (const char* at = buffer.data(); *at != '\0'; at += std::strlen(at) + 1) entries.emplace_back(at);
  return entries;
}

std::string ThisProgram(const char* argv0) {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::absolute(argv0).string() : self.string();
}

unsigned CoreCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

unsigned ParallelWorkerLimit() { return 0xFFFFu; }

std::intptr_t StartWorker(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& outputFile, std::string& error) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int failed = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    error = std::strerror(failed);
    return -1;
  }
  return pid;
}

void WaitForWorker(const std::vector<std::intptr_t>& workers, std::size_t& ended, int& exitCode) {
  for (;;) {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, 0);
    if (pid < 0 && errno == EINTR) continue;
    for (std::size_t i = 0; i < workers.size(); ++i) {
      if (workers[i] != pid) continue;
      ended = i;
      exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return;
    }
    if (pid < 0) {  // no child left: the caller's list is stale
      ended = workers.size();
      exitCode = -1;
      return;
    }
  }
}

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

void RemoveWorkerFolders(const std::string& gameFolder) {
  const auto runFolder = std::filesystem::path(gameFolder).parent_path();
  if (runFolder.filename().string().rfind("qm-run-", 0) != 0) return;
  std::error_code ignored;
  std::filesystem::remove_all(runFolder, ignored);
}

}  // namespace qm::tune
