// The structure checker: each kind of fault it exists to catch, in action
// lists written by hand, and its survival of damaged files.
#include "swf_check.h"
#include "swf_file.h"

#include <gtest/gtest.h>

#include <random>

namespace qm::swf {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Faults(const Bytes& actions) {
  const auto result = CheckMovie(WriteMovie({}, actions));
  std::string all;
  for (const auto& fault : result.faults) all += fault + "\n";
  return all;
}

// DefineFunction2 "f" without parameters, `registers` registers, preloading this.
Bytes Function(int registers, const Bytes& body, int claimedSize = -1) {
  Bytes out = {0x8E, 9, 0, 'f', 0, 0, 0, static_cast<std::uint8_t>(registers), 0x29, 0};
  const int size = claimedSize < 0 ? static_cast<int>(body.size()) : claimedSize;
  out.push_back(static_cast<std::uint8_t>(size & 0xFF));
  out.push_back(static_cast<std::uint8_t>(size >> 8));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

const Bytes kPushOne = {0x96, 5, 0, 7, 1, 0, 0, 0};
const Bytes kEnd = {0x00};

TEST(SwfCheck, AcceptsAWellFormedList) {
  EXPECT_EQ(Faults(Join({kPushOne, {0x17}, Function(3, {0x96, 2, 0, 4, 2, 0x3E}), kEnd})), "");
}

TEST(SwfCheck, BranchTargets) {
  // Jump back 3 bytes from the next action: into the middle of the push.
  EXPECT_NE(Faults(Join({kPushOne, {0x99, 2, 0, 0xF5, 0xFF}, kEnd})).find("not an action"), std::string::npos);
  // Jump to the push itself (-13) and to just past the function body are fine.
  EXPECT_EQ(Faults(Join({kPushOne, {0x99, 2, 0, 0xF3, 0xFF}, kEnd})), "");
  EXPECT_EQ(Faults(Join({Function(2, {0x99, 2, 0, 0, 0}), kEnd})), "");
  // A branch inside a function may not leave it, not even to the next top-level action.
  EXPECT_NE(Faults(Join({Function(2, {0x9D, 2, 0, 1, 0}), kEnd})).find("not an action of its function"),
            std::string::npos);
  EXPECT_NE(Faults(Join({{0x99, 3, 0, 0, 0, 0}, kEnd})).find("branch of length"), std::string::npos);
}

TEST(SwfCheck, RegisterNumbers) {
  EXPECT_NE(Faults(Join({{0x96, 2, 0, 4, 4}, kEnd})).find("r4 with 4 registers"), std::string::npos);
  EXPECT_EQ(Faults(Join({{0x96, 2, 0, 4, 3}, kEnd})), "");
  EXPECT_NE(Faults(Join({Function(3, {0x87, 1, 0, 3}), kEnd})).find("StoreRegister r3 with 3"), std::string::npos);
  // `this` preloaded into r1 needs at least two registers.
  EXPECT_NE(Faults(Join({Function(1, {}), kEnd})).find("preloads"), std::string::npos);
  // A parameter in r5 of a function with 4 registers, and one sharing r1 with `this`.
  Bytes params = {0x8E, 14, 0, 0, 2, 0, 4, 0x29, 0, 5, 'a', 0, 1, 'b', 0, 0, 0};
  const std::string faults = Faults(Join({params, kEnd}));
  EXPECT_NE(faults.find("parameter 'a' in r5"), std::string::npos);
  EXPECT_NE(faults.find("parameter 'b' shares r1"), std::string::npos);
}

TEST(SwfCheck, FunctionBoundsAndRecords) {
  EXPECT_NE(Faults(Join({Function(2, {0x17}, 40), kEnd})).find("runs past its enclosing block"), std::string::npos);
  EXPECT_NE(Faults(Join({Function(2, {0x00}), kEnd})).find("End inside a function"), std::string::npos);
  // Record length one byte short of its fields.
  EXPECT_NE(Faults(Join({{0x8E, 4, 0, 'f', 0, 0, 0}, kEnd})).find("cut short"), std::string::npos);
}

TEST(SwfCheck, DeepNestingIsReportedNotFollowed) {
  Bytes nested = {};
  for (int depth = 0; depth < 5000; ++depth) nested = Function(2, nested);
  EXPECT_NE(Faults(Join({nested, kEnd})).find("nested more than 64"), std::string::npos);
  Bytes shallow = {};
  for (int depth = 0; depth < 10; ++depth) shallow = Function(2, shallow);
  EXPECT_EQ(Faults(Join({shallow, kEnd})), "");
}

TEST(SwfCheck, PushItemsPoolAndActionSet) {
  EXPECT_NE(Faults(Join({{0x96, 2, 0, 8, 0}, kEnd})).find("constant 0 with a pool of 0"), std::string::npos);
  EXPECT_EQ(Faults(Join({{0x88, 4, 0, 1, 0, 'a', 0}, {0x96, 2, 0, 8, 0}, kEnd})), "");
  EXPECT_NE(Faults(Join({{0x88, 5, 0, 2, 0, 'a', 0, 'b'}, kEnd})).find("fewer than"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x96, 3, 0, 7, 1, 0}, kEnd})).find("runs past the action"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x96, 2, 0, 12, 0}, kEnd})).find("type 12"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x96, 2, 0, 5, 2}, kEnd})).find("boolean"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x81, 2, 0, 0, 0}, kEnd})).find("not one we write"), std::string::npos);
  // GetURL2 only as a movie load: a POST or a variables load would reach out of the movie.
  EXPECT_EQ(Faults(Join({{0x9A, 1, 0, 0}, kEnd})), "");
  EXPECT_NE(Faults(Join({{0x9A, 1, 0, 0x41}, kEnd})).find("GetURL2"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x9E}, kEnd})).find("no room for its length"), std::string::npos);
  EXPECT_NE(Faults(kPushOne).find("without End"), std::string::npos);
  EXPECT_NE(Faults(Join({kEnd, {0x17}})).find("after End"), std::string::npos);
  EXPECT_NE(Faults(Join({{0x96, 40, 0, 7}, kEnd})).find("runs past its block"), std::string::npos);
}

TEST(SwfCheck, FileLevelFaults) {
  Bytes movie = WriteMovie({}, kEnd);
  EXPECT_TRUE(CheckMovie(movie).Ok());
  Bytes longer = movie;
  longer.push_back(0);
  EXPECT_FALSE(CheckMovie(longer).Ok());  // header length no longer matches; bytes after End
  EXPECT_FALSE(CheckMovie(Bytes(movie.begin(), movie.end() - 2)).Ok());
  EXPECT_FALSE(CheckMovie({'C', 'W', 'S', 8, 0, 0, 0, 0}).Ok());
  EXPECT_FALSE(CheckMovie({'G', 'I', 'F'}).Ok());
  EXPECT_FALSE(CheckMovie({}).Ok());
}

// Damaged copies of a real action list: the checker reads every one to the
// end without reading outside the file (the sanitizer builds watch this),
// and a damaged length is reported rather than followed.
TEST(SwfCheck, SurvivesRandomDamage) {
  const Bytes actions =
      Join({{0x88, 4, 0, 1, 0, 'a', 0},
            kPushOne,
            Function(3, Join({{0x96, 2, 0, 4, 2}, {0x9D, 2, 0, 1, 0}, {0x17}, {0x96, 2, 0, 8, 0}, {0x3E}})),
            {0x99, 2, 0, 0, 0},
            kEnd});
  const Bytes movie = WriteMovie({}, actions);
  ASSERT_TRUE(CheckMovie(movie).Ok());
  std::mt19937 random(12345);
  int reported = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes damaged = movie;
    const int flips = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < flips; ++i) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    if (random() % 4 == 0) damaged.resize(random() % damaged.size());
    reported += CheckMovie(damaged).Ok() ? 0 : 1;
  }
  EXPECT_GT(reported, 2000);  // most damage is visible; the rest changes only values
}

}  // namespace
}  // namespace qm::swf
