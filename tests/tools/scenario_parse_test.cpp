// Reading scenario files: numbers read strictly, a failed read leaving
// nothing behind for the next, and reading time that grows with the file's
// size only, whatever its shape.
#include "scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace qm::scenario {
namespace {

TEST(ScenarioNumbers, ReadStrictlyWithinTheirField) {
  EXPECT_EQ(ReadU32(Json(4294967295u), "n"), 4294967295u);
  EXPECT_EQ(ReadU32(Json("0x12EB7"), "n"), 0x12EB7u);
  EXPECT_EQ(ReadU32(Json("010"), "n"), 10u);  // decimal, not octal
  EXPECT_EQ(ReadI32(Json(-2147483648LL), "n"), INT32_MIN);
  EXPECT_EQ(ReadCount(Json(2147483647), "n"), INT32_MAX);
  EXPECT_EQ(ReadFloat(Json(3.4e38), "n"), 3.4e38f);
  for (const Json& bad : {Json(-1), Json(4294967296u), Json("-1"), Json(" 1"), Json("0x"), Json(""), Json("1e3"),
                          Json("0x100000000"), Json("99999999999999999999999"), Json(1.5), Json(true)}) {
    EXPECT_THROW(ReadU32(bad, "n"), ScenarioError) << bad.dump();
  }
  EXPECT_THROW(ReadCount(Json(-1), "n"), ScenarioError);
  EXPECT_THROW(ReadCount(Json(2147483648u), "n"), ScenarioError);
  EXPECT_THROW(ReadI32(Json(-2147483649LL), "n"), ScenarioError);
  EXPECT_THROW(ReadFloat(Json(3.5e38), "n"), ScenarioError);
  EXPECT_THROW(ReadFloat(Json(-1e300), "n"), ScenarioError);
}

TEST(ScenarioParse, AFailedReadLeavesNoDeclarationsForTheNext) {
  const std::string declaresGhost = R"({"world": {"actors": [{"id": "ghost"}]}, "steps": [{"no such step": 1}]})";
  EXPECT_THROW(ParseScenarioText(declaresGhost, "a.json"), ScenarioError);
  const std::string namesGhost =
      R"({"world": {"actors": [{"id": "player", "player": true}]},
          "steps": [{"hit": {"target": "ghost", "source": 1}}]})";
  try {
    ParseScenarioText(namesGhost, "b.json");
    ADD_FAILURE() << "the ghost of the failed read was taken as declared";
  } catch (const ScenarioError& e) {
    EXPECT_NE(std::string(e.what()).find("steps[0].hit.target: no reference named \"ghost\""), std::string::npos)
        << e.what();
  }
}

// The best of a few reads, refused or not: the least disturbed by other work
// on the machine.
double BestReadSeconds(const std::string& text) {
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    try {
      ParseScenarioText(text, "growth.json");
    } catch (const ScenarioError&) {
    }
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// A file eight times the size may take eight times as long, with room to
// spare for a loaded machine (a factor of three and 50 ms); quadratic growth
// would take 64 times, cubic 512.
void ExpectLinearGrowth(const std::string& small, const std::string& large) {
  const double smallSeconds = BestReadSeconds(small);
  const double largeSeconds = BestReadSeconds(large);
  EXPECT_LT(largeSeconds, 24 * smallSeconds + 0.05) << "reading " << large.size() << " bytes took " << largeSeconds
                                                    << " s, " << small.size() << " bytes " << smallSeconds << " s";
}

std::string NestedRepeats(int depth, const std::string& innermost) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += R"({"repeat": {"times": 1, "steps": [)";
  text += innermost;
  for (int i = 0; i < depth; ++i) text += "]}}";
  return text;
}

TEST(ScenarioParse, DeepNestsOfRepeatsReadInTimeLinearInTheirSize) {
  ExpectLinearGrowth(R"({"steps": [)" + NestedRepeats(40, R"({"update": 1})") + "]}",
                     R"({"steps": [)" + NestedRepeats(320, R"({"update": 1})") + "]}");
}

// Many actors, each with an item, and a script of blocks each nesting
// repeats as deep as the limit allows and naming the items.
std::string WideScenario(int blocks) {
  std::string actors, steps;
  for (int i = 0; i < blocks; ++i) {
    const std::string id = "actor" + std::to_string(i);
    actors += std::string(i == 0 ? "" : ",") + R"({"id": ")" + id + R"(", "items": [{"form": "0x1000"}]})";
    const std::string expect = R"({"expectHealth": {")" + id + R"(.Sword": 1.0}})";
    steps += std::string(i == 0 ? "" : ",") + NestedRepeats(18, expect + "," + expect);
  }
  return R"({"world": {"forms": {"weapons": [{"id": "0x1000", "name": "Sword", "type": 1}]}, "actors": [)" + actors +
         R"(]}, "steps": [)" + steps + "]}";
}

TEST(ScenarioParse, WideFilesReadInTimeLinearInTheirSize) {
  EXPECT_NO_THROW(ParseScenarioText(WideScenario(2), "wide.json"));
  ExpectLinearGrowth(WideScenario(100), WideScenario(800));
}

}  // namespace
}  // namespace qm::scenario
