#pragma once
// The tuning lab's HTML report: interactive plots drawn by uPlot, whose code
// is read from node_modules when the report is built and inlined, so that the
// report is one file that opens without a network.
#include "tune_lab.h"

#include <optional>
#include <string>
#include <vector>

namespace qm::tune {

// The plotting library (script and style sheet) as it is inlined.
struct PlotLibrary {
  std::string script;
  std::string style;
};

// Looks for node_modules/uplot/dist in the folders above this program and
// above the current folder (npm ci in the source folder puts it there).
std::optional<PlotLibrary> FindPlotLibrary(const std::string& program, std::string& error);

// One line of a plot: the p50 at each starting health, with its p10-p90
// band; none where it never happened.
struct PlotSeries {
  std::string label;
  int colour = 0;       // the category
  bool light = false;   // power attacks
  bool dashed = false;  // B in a comparison
  std::vector<std::optional<double>> p10, p50, p90;
  // What the line stands for, one entry per merged line (none: its own
  // colour and attack): the legend shows or hides it by these.
  struct Member {
    int category = 0;
    bool power = false;
  };
  std::vector<Member> members;
};

struct PlotFigure {
  std::string title;
  std::vector<PlotSeries> series;
};

// Series that are equal point for point become one line carrying all their
// labels, so that lines drawn on top of each other cannot hide one another.
std::vector<PlotSeries> MergeIdentical(std::vector<PlotSeries> series);

// The figures of the cases of one run: per actor and per measure, one series
// per category and attack. `suffix` marks the run's labels (" A", " B").
std::vector<PlotFigure> CaseFigures(const std::vector<Case>& cases, const std::string& suffix, bool dashed);

// The page: a title, the text above the plots (HTML), the plots and a table.
std::string PlotPage(const PlotLibrary& library, const std::string& title, const std::string& intro,
                     const std::vector<PlotFigure>& figures, const std::string& tables);

}  // namespace qm::tune
