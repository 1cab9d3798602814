// A second process that holds the plug-in's log open for writing, as a game
// still running (or a crashed one the system has not cleaned up) would, while
// qm.exe starts the plug-in: the plug-in must write to "Quellmark.log0" and
// leave the held file alone. Windows programs of one Wine prefix enforce share
// modes between each other, so this runs under Wine, not natively.
//
//   hold_log_test QM_EXE SCENARIO
#include <windows.h>
#include <share.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr const char* kHolderText = "held by another process";

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int Fail(const std::string& why) {
  std::printf("FAILED log held by another process: %s\n", why.c_str());
  return 1;
}

// Runs qm.exe and waits for it; its exit code, or -1 when it cannot start.
// Starting it is tried three times: a loaded machine can make Wine refuse a
// new process for a moment, which says nothing about the plug-in. Each
// refusal is printed with its error code.
int RunQm(const std::string& qm, const std::string& scenario) {
  std::string commandLine = "\"" + qm + "\" run \"" + scenario + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessA(qm.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
      break;
    }
    std::printf("cannot start %s (attempt %d): error %lu\n", qm.c_str(), attempt, ::GetLastError());
    std::fflush(stdout);
    if (attempt == 3) return -1;
    ::Sleep(1000);
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hold_log_test QM_EXE SCENARIO\n");
    return 2;
  }
  char documents[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents))) {
    return Fail("no documents folder");
  }
  const std::string folder = std::string(documents) + "\\My Games\\Skyrim Special Edition\\SKSE";
  if (::SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr) != ERROR_SUCCESS &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return Fail("cannot create " + folder);
  }
  const std::string log = folder + "\\Quellmark.log";
  const std::string alternative = log + "0";
  ::DeleteFileA(alternative.c_str());

  std::FILE* held = ::_fsopen(log.c_str(), "w", _SH_DENYWR);
  if (held == nullptr) return Fail("cannot open " + log);
  std::fputs(kHolderText, held);
  std::fflush(held);

  std::printf("holding %s\n", log.c_str());
  std::fflush(stdout);
  const int result = RunQm(argv[1], argv[2]);
  std::fclose(held);

  if (result != 0) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(result));
    return Fail(std::string("qm.exe exited with ") + code);
  }
  const std::string heldText = ReadWhole(log);
  if (heldText != kHolderText) return Fail("the held log was changed to \"" + heldText + "\"");
  const std::string written = ReadWhole(alternative);
  if (written.rfind("Quellmark\r\n", 0) != 0) {
    return Fail("Quellmark.log0 does not start with the plug-in's name line: \"" + written + "\"");
  }
  if (written.find("Quellmark Loaded\r\n") == std::string::npos) {
    return Fail("Quellmark.log0 lacks \"Quellmark Loaded\": \"" + written + "\"");
  }
  std::printf("PASSED log held by another process\n");
  return 0;
}
