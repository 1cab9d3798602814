// The movie compiler: what it writes for the script's constructs, and the
// faults it reports instead of writing a wrong movie.
#include "script_compiler.h"
#include "script_parser.h"
#include "swf_check.h"
#include "swf_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qm::swf {
namespace {

std::vector<std::uint8_t> Actions(const std::string& source) {
  auto program = ParseScript(source, "test.as");
  return CompileScript({program.get()});
}

std::vector<std::uint8_t> Movie(const std::string& source) { return WriteMovie({}, Actions(source)); }

bool Contains(const std::vector<std::uint8_t>& haystack, const std::vector<std::uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

std::string CompileFault(const std::string& source) {
  try {
    Actions(source);
  } catch (const SourceError& error) {
    return error.what();
  }
  return "";
}

TEST(SwfCompiler, MovieHeaderAndFunctionsReadBack) {
  const auto movie = Movie(
      "function Setup(x, y, scale, flags) { var total = x + y; return total * scale; }\n"
      "function UpdateMenu(icons, names, durabilities, colours) { return icons.length; }\n"
      "var widget = {Setup: Setup};\n");
  ASSERT_GE(movie.size(), 8u);
  EXPECT_EQ(std::string(movie.begin(), movie.begin() + 3), "FWS");
  EXPECT_EQ(movie[3], 8);
  const auto result = CheckMovie(movie);
  ASSERT_TRUE(result.Ok()) << result.faults.front();
  EXPECT_EQ(result.width, 1920);
  EXPECT_EQ(result.height, 1080);
  EXPECT_EQ(result.frameCount, 1);
  ASSERT_EQ(result.functions.size(), 2u);
  EXPECT_EQ(result.functions[0].name, "Setup");
  EXPECT_EQ(result.functions[0].parameters, (std::vector<std::string>{"x", "y", "scale", "flags"}));
  // r1 this, r2..r5 the parameters, r6 the local.
  EXPECT_EQ(result.functions[0].registerCount, 7);
  EXPECT_EQ(result.functions[1].name, "UpdateMenu");
}

TEST(SwfCompiler, NumbersArePushedAsIntegersOrSwappedDoubles) {
  // 5 as int32; 0.5 as a double whose high half comes first (0x3FE00000, then 0).
  EXPECT_TRUE(Contains(Actions("var a = 5;"), {7, 5, 0, 0, 0}));
  EXPECT_TRUE(Contains(Actions("var a = 0.5;"), {6, 0x00, 0x00, 0xE0, 0x3F, 0, 0, 0, 0}));
  EXPECT_TRUE(Contains(Actions("var a = -2147483648;"), {7, 0, 0, 0, 0x80}));
  // Too large for int32: a double.
  EXPECT_TRUE(Contains(Actions("var a = 4294967295;"), {6, 0xFF, 0xFF, 0xEF, 0x41, 0x00, 0x00, 0xE0, 0xFF}));
}

TEST(SwfCompiler, StringsShareTheConstantPoolAndKeepUtf8) {
  const auto actions = Actions("var a = \"caf\\u00e9\"; var b = \"caf\\u00e9\"; var c = \"\\u2026\";");
  ASSERT_EQ(actions[0], 0x88);  // ConstantPool first
  const unsigned count = actions[3] | (actions[4] << 8);
  EXPECT_EQ(count, 5u);  // a, café, b, c, …: the repeated text once
  EXPECT_TRUE(Contains(actions, {'c', 'a', 'f', 0xC3, 0xA9, 0}));
  EXPECT_TRUE(Contains(actions, {0xE2, 0x80, 0xA6, 0}));
}

TEST(SwfCompiler, BranchesLandOnTheirStatements) {
  const auto movie = Movie(
      "function F(n) { var s = 0; for (var i = 0; i < n; i++) { if (i == 3) continue; if (i > 8) break; s += i; }"
      " while (s > 100) { s -= 7; } return s > 50 ? s : -s; }\n"
      "var r = F(10) || F(2) && F(3);");
  const auto result = CheckMovie(movie);
  EXPECT_TRUE(result.Ok()) << (result.faults.empty() ? "" : result.faults.front());
}

TEST(SwfCompiler, SameSourceSameBytes) {
  const std::string source = "function A(x) { return [x, {k: x}, \"t\"]; } var z = A(1.25);";
  EXPECT_EQ(Movie(source), Movie(source));
}

TEST(SwfCompiler, ReportsFaultsWithFileAndLine) {
  EXPECT_NE(CompileFault("var a = 1;\nvar b = \"open;\n").find("test.as:2:"), std::string::npos);
  EXPECT_NE(CompileFault("function F(a) { var g = function() { return a; }; }").find("enclosing function"),
            std::string::npos);
  EXPECT_NE(CompileFault("var a = (b = 2);").find("test.as:1:"), std::string::npos);
  EXPECT_NE(CompileFault("return 1;").find("outside a function"), std::string::npos);
  EXPECT_NE(CompileFault("break;").find("outside a loop"), std::string::npos);
  EXPECT_NE(CompileFault("function F(a, a) {}").find("twice"), std::string::npos);
  EXPECT_NE(CompileFault("f().x += 1;").find("computed object"), std::string::npos);
  EXPECT_NE(CompileFault("x + 1;").find("a statement must"), std::string::npos);
  EXPECT_NE(CompileFault("/* never closed").find("comment"), std::string::npos);
  EXPECT_NE(CompileFault("var s = \"\\ud800\";").find("surrogate"), std::string::npos);
  EXPECT_EQ(CompileFault("var ok = 1;"), "");
  // Names are locals, top-level vars and functions, or the player's own.
  EXPECT_NE(CompileFault("function F() { return Widht; }").find("unknown name 'Widht'"), std::string::npos);
  EXPECT_NE(CompileFault("var t = new TextFromat();").find("unknown name 'TextFromat'"), std::string::npos);
  EXPECT_NE(CompileFault("function F() { typo = 1; }").find("unknown name 'typo'"), std::string::npos);
  EXPECT_NE(CompileFault("loadMovieNum(\"a.swf\");").find("a URL and a level"), std::string::npos);
  EXPECT_EQ(CompileFault("function F() { return G() + later + Math.PI; } function G() { return 1; } var later = 2;"),
            "");
  // Deep nesting is refused with a fault, not followed down the stack.
  EXPECT_NE(CompileFault("var a = " + std::string(100000, '(') + "1;").find("nested more than 200"), std::string::npos);
  EXPECT_NE(CompileFault("var a = " + std::string(100000, '!') + "1;").find("nested more than 200"), std::string::npos);
  EXPECT_NE(CompileFault("if (a) " + std::string(100000, '{')).find("nested more than 200"), std::string::npos);
  EXPECT_EQ(CompileFault("var a = " + std::string(50, '(') + "1" + std::string(50, ')') + ";"), "");
}

}  // namespace
}  // namespace qm::swf
