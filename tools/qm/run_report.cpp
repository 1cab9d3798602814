#include "run_report.h"

#include "html_report.h"
#include "items.h"
#include "run_watch.h"

#include <sstream>

namespace qm::scenario {

bool WriteRunReport(const std::string& path, const std::string& scenarioPath, RunContext& run, int result) {
  RunHistory& history = run.world().Component<RunHistory>();
  report::Plot plot;
  plot.title = "Durability of every item over the run";
  plot.xLabel = "step";
  plot.yLabel = "durability points ((health - 1) x 1000)";
  plot.yMin = 0.0;
  if (gd::Items* items = run.world().FindComponent<gd::Items>()) {
    const auto& all = items->All();
    for (std::size_t i = 0; i < all.size(); ++i) {
      report::Series series;
      series.name = all[i].id;
      for (std::size_t p = 0; p < history.points.size(); ++p) {
        const auto& health = history.points[p].health;
        if (i >= health.size()) continue;  // not made yet
        std::optional<double> points;
        if (health[i]) points = (static_cast<double>(*health[i]) - 1.0) * 1000.0;
        series.points.emplace_back(static_cast<double>(p), points);
      }
      plot.series.push_back(std::move(series));
    }
  }

  std::ostringstream body;
  body << "<p>Scenario <code>" << report::Escape(scenarioPath)
       << "</code>: " << (result == 0 ? "every expectation held." : "<b>an expectation failed.</b>") << "</p>\n";
  body << "<figure>" << report::LinePlotSvg(plot)
       << "<figcaption>A gap: the item broke and left its holder's inventory. An item without a health entry "
          "reads as health 1.0 (0 points).</figcaption></figure>\n";
  if (!history.lastRows.empty()) {
    body << "<h2>The widget's rows, as last sent</h2>\n<table><tr><th class=\"l\">icon</th><th class=\"l\">name</th>"
            "<th>durability</th><th class=\"l\">colour</th></tr>\n";
    for (const auto& row : history.lastRows) {
      body << "<tr><td class=\"l\">" << report::Escape(row[0]) << "</td><td class=\"l\">" << report::Escape(row[1])
           << "</td><td>" << report::Escape(row[2])
           << "</td><td class=\"l\"><span style=\"background:" << report::Escape(row[3])
           << ";border:1px solid #888\">&nbsp;&nbsp;&nbsp;</span> " << report::Escape(row[3]) << "</td></tr>\n";
    }
    body << "</table>\n";
  }
  body << "<h2>Steps</h2>\n<table><tr><th>step</th><th class=\"l\">what happened</th></tr>\n";
  for (std::size_t p = 0; p < history.points.size(); ++p) {
    body << "<tr><td>" << p << "</td><td class=\"l\">" << report::Escape(history.points[p].label) << "</td></tr>\n";
  }
  body << "</table>\n<h2>Play-by-play</h2>\n<pre>";
  for (const std::string& line : run.trace()) body << report::Escape(line) << '\n';
  body << "</pre>\n";
  return report::WriteFile(path, report::Page("Quellmark run: " + scenarioPath, body.str()));
}

}  // namespace qm::scenario
