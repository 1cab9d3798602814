#include "tune_platform.h"

#include <windows.h>

#include <io.h>

#include <cstring>

namespace qm::tune {

std::vector<std::string> ProfileSectionEntries(const std::string& section, const std::string& path) {
  std::vector<char> buffer(0x8000, '\0');
  ::GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::string> entries;
  for (const char* at = buffer.data(); *at != '\0'; at += std::strlen(at) + 1) entries.emplace_back(at);
  return entries;
}

std::string ThisProgram(const char*) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

unsigned CoreCount() {
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return info.dwNumberOfProcessors == 0 ? 1 : info.dwNumberOfProcessors;
}

unsigned ParallelWorkerLimit() { return 1; }

namespace {

// One argument quoted as the C runtime splits a command line.
std::string Quoted(const std::string& argument) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

std::intptr_t StartWorker(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& outputFile, std::string& error) {
  std::string commandLine = Quoted(program);
  for (const std::string& argument : arguments) {
    commandLine += ' ';
    commandLine += Quoted(argument);
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = ::CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    error = "cannot create " + outputFile;
    return -1;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
  ::CloseHandle(output);
  if (!started) {
    error = "CreateProcess failed with error " + std::to_string(::GetLastError());
    return -1;
  }
  ::CloseHandle(process.hThread);
  return reinterpret_cast<std::intptr_t>(process.hProcess);
}

void WaitForWorker(const std::vector<std::intptr_t>& workers, std::size_t& ended, int& exitCode) {
  std::vector<HANDLE> handles;
  for (const std::intptr_t worker : workers) handles.push_back(reinterpret_cast<HANDLE>(worker));
  const DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
  if (result >= WAIT_OBJECT_0 + handles.size()) {
    ended = workers.size();
    exitCode = -1;
    return;
  }
  ended = result - WAIT_OBJECT_0;
  DWORD code = 0;
  exitCode = ::GetExitCodeProcess(handles[ended], &code) ? static_cast<int>(code) : -1;
  ::CloseHandle(handles[ended]);
}

bool IsTerminal(std::FILE* stream) { return ::_isatty(::_fileno(stream)) != 0; }

void RemoveWorkerFolders(const std::string&) {}

}  // namespace qm::tune
