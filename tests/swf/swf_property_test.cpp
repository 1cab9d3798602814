// Random programs through the compiler: every one it accepts must pass the
// structure checker (branches inside their function, registers below the
// count, lengths that add up), list its named functions with their
// parameters, and compile to the same bytes twice.
#include "script_compiler.h"
#include "script_parser.h"
#include "swf_check.h"
#include "swf_file.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace qm::swf {
namespace {

class ProgramMaker {
 public:
  explicit ProgramMaker(unsigned seed) : random_(seed) {}

  struct Made {
    std::string source;
    std::vector<std::pair<std::string, std::vector<std::string>>> functions;
  };

  Made Program() {
    Made made;
    std::ostringstream out;
    const int functions = Pick(4);
    for (int f = 0; f < functions; ++f) {
      std::vector<std::string> params;
      const int count = Pick(5);
      for (int p = 0; p < count; ++p) params.push_back("p" + std::to_string(p));
      locals_ = params;
      locals_.push_back("g0");        // a timeline variable, read through the scope chain
      const int vars = 1 + Pick(30);  // enough locals to use many registers
      out << "function F" << f << "(";
      for (std::size_t p = 0; p < params.size(); ++p) out << (p ? ", " : "") << params[p];
      out << ") {\n";
      for (int v = 0; v < vars; ++v) {
        out << "  var v" << v << " = " << Expression(2) << ";\n";
        locals_.push_back("v" + std::to_string(v));
      }
      out << Block(3, true) << "  return " << Expression(3) << ";\n}\n";
      made.functions.emplace_back("F" + std::to_string(f), params);
    }
    locals_ = {"g0", "g1"};
    out << "var g0 = 1;\nvar g1 = \"t\";\n" << Block(3, false);
    made.source = out.str();
    return made;
  }

 private:
  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  std::string Name() { return locals_[static_cast<std::size_t>(Pick(static_cast<int>(locals_.size())))]; }

  std::string Expression(int depth) {
    if (depth <= 0) {
      switch (Pick(5)) {
        case 0: return std::to_string(Pick(100000) - 50000);
        case 1: return "0." + std::to_string(Pick(1000));
        case 2: return "\"s" + std::to_string(Pick(400)) + "\"";  // past 256 strings: 16-bit pool indexes
        case 3: return Pick(2) ? "true" : "null";
        default: return Name();
      }
    }
    static const char* kBinary[] = {"+", "-",  "*",  "/",  "%",  "==", "!=", "===", "!==", "<",
                                    ">", "<=", ">=", "&&", "||", "&",  "|",  "^",   "<<",  ">>"};
    switch (Pick(8)) {
      case 0: return "(" + Expression(depth - 1) + " " + kBinary[Pick(20)] + " " + Expression(depth - 1) + ")";
      case 1: return "(" + Expression(depth - 1) + " ? " + Expression(depth - 1) + " : " + Expression(depth - 1) + ")";
      case 2: return std::string(Pick(2) ? "!" : "- ") + Expression(depth - 1);
      case 3: return "[" + Expression(depth - 1) + ", " + Expression(depth - 1) + "]";
      case 4: return "{a: " + Expression(depth - 1) + ", b: " + Expression(depth - 1) + "}";
      case 5: return Name() + ".m(" + Expression(depth - 1) + ")[" + Expression(depth - 1) + "]";
      case 6: return "Math.max(" + Expression(depth - 1) + ", " + Expression(depth - 1) + ")";
      default: return Expression(0);
    }
  }

  std::string Block(int depth, bool inFunction, bool inLoop = false) {
    std::string out;
    const int statements = 1 + Pick(4);
    for (int i = 0; i < statements; ++i) out += Statement(depth, inFunction, inLoop);
    return out;
  }

  std::string Statement(int depth, bool inFunction, bool inLoop) {
    const int kind = depth <= 0 ? Pick(3) : Pick(9);
    switch (kind) {
      case 0: return Name() + " = " + Expression(2) + ";\n";
      case 1: return Name() + (Pick(2) ? "++" : " += 3") + ";\n";
      case 2: return Name() + ".field = " + Expression(1) + ";\n";
      case 3:
        return "if (" + Expression(2) + ") {\n" + Block(depth - 1, inFunction, inLoop) + "} else {\n" +
               Block(depth - 1, inFunction, inLoop) + "}\n";
      case 4: return "while (" + Expression(1) + ") {\n" + Block(depth - 1, inFunction, true) + "}\n";
      case 5:
        return "for (" + Name() + " = 0; " + Name() + " < 7; " + Name() + "++) {\n" +
               Block(depth - 1, inFunction, true) + "}\n";
      case 6: return inLoop ? (Pick(2) ? "break;\n" : "continue;\n") : "trace(" + Expression(1) + ");\n";
      case 7: return inFunction ? "if (" + Expression(1) + ") return " + Expression(1) + ";\n" : "g0 = 2;\n";
      default: return Name() + ".f = function(a, b) { var c = a * b; return c; };\n";
    }
  }

  std::mt19937 random_;
  std::vector<std::string> locals_;
};

TEST(SwfProperty, RandomProgramsCompileToCheckedMovies) {
  for (unsigned seed = 1; seed <= 150; ++seed) {
    const auto made = ProgramMaker(seed).Program();
    auto program = ParseScript(made.source, "random.as");
    const auto movie = WriteMovie({}, CompileScript({program.get()}));
    const auto result = CheckMovie(movie);
    ASSERT_TRUE(result.Ok()) << "seed " << seed << ": " << result.faults.front() << "\n" << made.source;

    std::vector<std::pair<std::string, std::vector<std::string>>> named;
    for (const auto& function : result.functions) {
      if (!function.name.empty()) named.emplace_back(function.name, function.parameters);
      EXPECT_GE(function.registerCount, 2 + static_cast<int>(function.parameters.size())) << "seed " << seed;
    }
    EXPECT_EQ(named, made.functions) << "seed " << seed;

    auto again = ParseScript(made.source, "random.as");
    EXPECT_EQ(WriteMovie({}, CompileScript({again.get()})), movie) << "seed " << seed;
  }
}

}  // namespace
}  // namespace qm::swf
