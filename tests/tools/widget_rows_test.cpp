// The widget table of the play-by-play: UpdateMenu's four arrays read as
// rows of icon, name, durability and colour.
#include "run_watch.h"

#include <gtest/gtest.h>

namespace qm::scenario {
namespace {

gd::RecordedValue Number(double n) {
  gd::RecordedValue v;
  v.type = gd::kValueNumber;
  v.number = n;
  return v;
}

gd::RecordedValue Text(const std::string& t) {
  gd::RecordedValue v;
  v.type = gd::kValueString;
  v.text = t;
  return v;
}

gd::RecordedValue Array(std::vector<gd::RecordedValue> elements) {
  gd::RecordedValue v;
  v.type = gd::kValueArray;
  v.elements = std::move(elements);
  return v;
}

TEST(WidgetRows, ColumnsBecomeRowsWithColoursInHex) {
  const auto rows = WidgetRows({Array({Text("armor_head"), Text("none")}), Array({Text("Iron Helmet"), Text("")}),
                                Array({Number(100), Number(-1)}), Array({Number(16766720), Number(16777215)})});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"armor_head", "Iron Helmet", "100", "#FFD700"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"none", "", "-1", "#FFFFFF"}));
}

TEST(WidgetRows, ShortColumnsLeaveBlankCellsAndOtherShapesGiveNoRows) {
  const auto rows = WidgetRows({Array({Text("a"), Text("b")}), Array({Text("x")}), Array({}), Array({})});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][1], "");
  EXPECT_TRUE(WidgetRows({Array({Text("a")})}).empty());
}

}  // namespace
}  // namespace qm::scenario
