// qm-swfcheck: checks the structure of SWF movies (see swf_check.h) and
// prints what it found.
//
//   qm-swfcheck [--functions] FILE...
//
// --functions lists the named functions with their parameters.
// Exit status: 0 every file passed, 1 a file has faults, 2 bad arguments or
// an unreadable file.
#include "file_io.h"
#include "swf_check.h"

#include <iostream>

namespace {
constexpr const char* kUsage =
    "usage: qm-swfcheck [--functions] FILE...\n"
    "Checks the structure of uncompressed SWF files: tags, action lengths, push items, function bounds,\n"
    "branch targets and register numbers. --functions lists the named functions. Exit 0 every file\n"
    "passed, 1 a file has faults (each named with its byte offset), 2 bad arguments or an unreadable file.\n";
}  // namespace

int main(int argc, char** argv) {
  bool listFunctions = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--functions") {
      listFunctions = true;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "qm-swfcheck: unknown option " << arg << "\n" << kUsage;
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::cerr << "qm-swfcheck: no file\n" << kUsage;
    return 2;
  }
  int status = 0;
  for (const auto& path : files) {
    const auto bytes = qm::swf::ReadBytes(path);
    if (!bytes) {
      std::cerr << "qm-swfcheck: cannot read " << path << "\n";
      return 2;
    }
    const qm::swf::CheckResult result = qm::swf::CheckMovie(*bytes);
    for (const auto& fault : result.faults) std::cerr << path << ": " << fault << "\n";
    if (!result.Ok()) status = 1;
    std::cout << path << ": SWF " << result.version << ", stage " << result.width << "x" << result.height << ", "
              << result.frameCount << " frame(s), " << result.actionCount << " actions, " << result.functions.size()
              << " functions, " << bytes->size() << " bytes" << (result.Ok() ? "" : ", FAULTY") << "\n";
    if (!listFunctions) continue;
    for (const auto& function : result.functions) {
      if (function.name.empty()) continue;
      std::cout << "function " << function.name << "(";
      for (std::size_t i = 0; i < function.parameters.size(); ++i)
        std::cout << (i ? ", " : "") << function.parameters[i];
      std::cout << ")\n";
    }
  }
  return status;
}
