// qm-swfc: compiles the movie's script files into a one-frame SWF movie and
// checks its structure before writing it.
//
//   qm-swfc [--version N] [--stage WIDTHxHEIGHT] [--fps N] -o OUT.swf SOURCE...
//
// Exit status: 0 written, 1 the written movie failed its structure check
// (nothing written), 2 bad arguments or a fault in a source file.
#include "file_io.h"
#include "script_compiler.h"
#include "script_parser.h"
#include "swf_check.h"
#include "swf_file.h"

#include <charconv>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: qm-swfc [--version N] [--stage WIDTHxHEIGHT] [--fps N] -o OUT.swf SOURCE...\n"
    "Compiles the script files, in order, into a one-frame SWF movie (default: version 8, stage 1920x1080,\n"
    "30 fps), checks its structure and writes it. Exit 0 written, 1 the movie failed its check, 2 bad\n"
    "arguments or a fault in a source file (named with its line).\n";

int Usage(const std::string& why) {
  std::cerr << "qm-swfc: " << why << "\n" << kUsage;
  return 2;
}

bool ParseInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

}  // namespace

int main(int argc, char** argv) {
  qm::swf::MovieSettings settings;
  std::string output;
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "-o" && hasValue) {
      output = argv[++i];
    } else if (arg == "--version" && hasValue) {
      if (!ParseInt(argv[++i], settings.version)) return Usage("--version takes a number");
    } else if (arg == "--fps" && hasValue) {
      if (!ParseInt(argv[++i], settings.frameRate)) return Usage("--fps takes a number");
    } else if (arg == "--stage" && hasValue) {
      const std::string size = argv[++i];
      const std::size_t x = size.find('x');
      if (x == std::string::npos || !ParseInt(size.substr(0, x), settings.width) ||
          !ParseInt(size.substr(x + 1), settings.height))
        return Usage("--stage takes WIDTHxHEIGHT, e.g. 1920x1080");
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option or missing value: " + arg);
    } else {
      sources.push_back(arg);
    }
  }
  if (output.empty()) return Usage("no output file (-o)");
  if (sources.empty()) return Usage("no source file");

  std::vector<std::uint8_t> movie;
  try {
    std::vector<qm::swf::NodePtr> programs;
    std::vector<const qm::swf::Node*> views;
    for (const auto& path : sources) {
      const auto bytes = qm::swf::ReadBytes(path);
      if (!bytes) {
        std::cerr << "qm-swfc: cannot read " << path << "\n";
        return 2;
      }
      programs.push_back(qm::swf::ParseScript(std::string(bytes->begin(), bytes->end()), path));
      views.push_back(programs.back().get());
    }
    movie = qm::swf::WriteMovie(settings, qm::swf::CompileScript(views));
  } catch (const qm::swf::SourceError& error) {
    std::cerr << error.what() << "\n";
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "qm-swfc: " << error.what() << "\n";
    return 2;
  }
  const qm::swf::CheckResult check = qm::swf::CheckMovie(movie);
  if (!check.Ok()) {
    for (const auto& fault : check.faults) std::cerr << "qm-swfc: compiled movie: " << fault << "\n";
    return 1;
  }
  if (!qm::swf::WriteBytes(output, movie)) {
    std::cerr << "qm-swfc: cannot write " << output << "\n";
    return 2;
  }
  return 0;
}
