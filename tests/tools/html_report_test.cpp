// The reports' plots: one path per series in plot coordinates, a gap lifts
// the pen, a lone point still draws, and text is escaped.
#include "html_report.h"

#include <gtest/gtest.h>

#include <regex>

namespace qm::report {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string PathOf(const std::string& svg, std::size_t index) {
  std::smatch match;
  std::string rest = svg;
  for (std::size_t i = 0; std::regex_search(rest, match, std::regex("class=\"series\"[^>]* d=\"([^\"]*)\"")); ++i) {
    if (i == index) return match[1];
    rest = match.suffix();
  }
  return "(none)";
}

TEST(LinePlot, OnePathPerSeriesWithTheLegend) {
  Plot plot{"t", "x", "y", {{"a", {{0, 1.0}, {1, 2.0}}}, {"b", {{0, 2.0}, {1, 1.0}}}}, std::nullopt};
  const std::string svg = LinePlotSvg(plot);
  EXPECT_EQ(Count(svg, "class=\"series\""), 2u);
  EXPECT_NE(svg.find("<title>a</title>"), std::string::npos);
  EXPECT_NE(svg.find("data-series=\"2\""), std::string::npos);
  // The first series rises: its second point lies higher (smaller y) on the page.
  std::smatch m;
  const std::string d = PathOf(svg, 0);
  ASSERT_TRUE(std::regex_match(d, m, std::regex(" M([0-9.]+) ([0-9.]+) L([0-9.]+) ([0-9.]+)")));
  EXPECT_LT(std::stod(m[1]), std::stod(m[3]));
  EXPECT_GT(std::stod(m[2]), std::stod(m[4]));
}

TEST(LinePlot, AGapLiftsThePen) {
  Plot plot{"t", "x", "y", {{"gone", {{0, 1.0}, {1, 1.5}, {2, std::nullopt}, {3, 1.2}, {4, 1.1}}}}, std::nullopt};
  const std::string d = PathOf(LinePlotSvg(plot), 0);
  EXPECT_EQ(Count(d, "M"), 2u);
  EXPECT_EQ(Count(d, "L"), 2u);
}

TEST(LinePlot, ALonePointStillDraws) {
  Plot plot{"t", "x", "y", {{"one", {{0, std::nullopt}, {1, 3.0}}}}, std::nullopt};
  const std::string d = PathOf(LinePlotSvg(plot), 0);
  EXPECT_NE(d.find("h1"), std::string::npos);
}

TEST(LinePlot, TextIsEscaped) {
  Plot plot{"<b>&", "x", "y", {{"chief's \"Sword\" <1>", {{0, 1.0}, {1, 1.0}}}}, 0.0};
  const std::string svg = LinePlotSvg(plot);
  EXPECT_EQ(svg.find("<b>&"), std::string::npos);
  EXPECT_NE(svg.find("&lt;b&gt;&amp;"), std::string::npos);
  EXPECT_NE(svg.find("chief's &quot;Sword&quot; &lt;1&gt;"), std::string::npos);
}

TEST(ReportPage, CarriesTheDrawingCheckAndNoExternalResource) {
  const std::string page = Page("title", "<p>body</p>");
  EXPECT_NE(page.find("data-plots-drawn"), std::string::npos);
  EXPECT_NE(page.find("getTotalLength"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  EXPECT_EQ(page.find("href="), std::string::npos);
}

}  // namespace
}  // namespace qm::report
