#pragma once
// Self-contained HTML reports: inline SVG line plots and a page around them,
// with no external scripts, styles or fonts. A small inline script checks
// every plotted line has a length once the page has laid out, and marks the
// page (data-plots-drawn, data-errors) for the browser check.
#include <optional>
#include <string>
#include <vector>

namespace qm::report {

struct Series {
  std::string name;
  std::vector<std::pair<double, std::optional<double>>> points;  // x, y (none: a gap)
};

struct Plot {
  std::string title;
  std::string xLabel;
  std::string yLabel;
  std::vector<Series> series;
  std::optional<double> yMin;  // default: from the data
};

std::string Escape(const std::string& text);

// One SVG figure with axes, ticks, a polyline per series and a legend.
std::string LinePlotSvg(const Plot& plot);

// A whole page: title, the body given (HTML) and the checking script.
std::string Page(const std::string& title, const std::string& body);

bool WriteFile(const std::string& path, const std::string& content);

}  // namespace qm::report
