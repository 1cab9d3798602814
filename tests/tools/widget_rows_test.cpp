// The widget table of the play-by-play: UpdateMenu's four arrays read as
// rows of icon, name, durability and colour.
#include "run_watch.h"
#include "widget_calls.h"

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

// The replayable record of the calls: one JSON line each, the movie counted
// per view, values keeping their types, bytes that are not UTF-8 replaced.
TEST(WidgetRows, CallLinesKeepTypesAndNumberTheMovies) {
  gd::RecordedInvoke setup;
  setup.view = reinterpret_cast<const gd::MovieViewObj*>(0x1000);
  setup.path = "_root.widget.Setup";
  setup.args = {Number(0.03), Number(0.73), Number(100), Number(8)};
  gd::RecordedInvoke update = setup;
  update.path = "_root.widget.UpdateMenu";
  update.args = {Array({Text("none")}), Array({Text("Dagger \"V\xE9\"")}), Array({Number(-1)}),
                 Array({gd::RecordedValue{}})};
  gd::RecordedInvoke reopened = setup;
  reopened.view = reinterpret_cast<const gd::MovieViewObj*>(0x2000);
  reopened.args = {};

  const auto lines = WidgetCallLines({setup, update, reopened});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], R"({"args":[0.03,0.73,100.0,8.0],"movie":1,"path":"_root.widget.Setup"})");
  EXPECT_EQ(lines[1],
            "{\"args\":[[\"none\"],[\"Dagger \\\"V\xEF\xBF\xBD\\\"\"],[-1.0],[null]],\"movie\":1,"
            "\"path\":\"_root.widget.UpdateMenu\"}");
  EXPECT_EQ(lines[2], R"({"args":[],"movie":2,"path":"_root.widget.Setup"})");
}

}  // namespace
}  // namespace qm::scenario
