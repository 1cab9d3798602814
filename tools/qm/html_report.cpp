#include "html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace qm::report {
namespace {

constexpr double kWidth = 900, kPlotHeight = 420;
constexpr double kLeft = 70, kRight = 220, kTop = 40, kBottom = 50;

// Colours that stay apart for a dozen series, then repeat with dashes.
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd", "#8c564b",
                                    "#e377c2", "#7f7f7f", "#bcbd22", "#17becf", "#393b79", "#637939"};

std::string Num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string TickText(double value) {
  char text[32];
  if (std::fabs(value) >= 1000 || value == std::floor(value)) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.3g", value);
  }
  return text;
}

// Round tick spacing: 1, 2 or 5 times a power of ten.
double TickStep(double span) {
  if (span <= 0) return 1;
  const double raw = span / 6;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * power >= raw) return m * power;
  }
  return 10 * power;
}

}  // namespace

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string LinePlotSvg(const Plot& plot) {
  double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
  bool any = false;
  for (const Series& s : plot.series) {
    for (const auto& [x, y] : s.points) {
      if (!y) continue;
      if (!any) {
        xMin = xMax = x;
        yMin = yMax = *y;
        any = true;
      }
      xMin = std::min(xMin, x);
      xMax = std::max(xMax, x);
      yMin = std::min(yMin, *y);
      yMax = std::max(yMax, *y);
    }
  }
  if (plot.yMin) yMin = std::min(yMin, *plot.yMin);
  if (xMax == xMin) xMax = xMin + 1;
  if (yMax == yMin) yMax = yMin + 1;
  const double yPad = (yMax - yMin) * 0.05;
  yMax += yPad;
  if (!plot.yMin) yMin -= yPad;
  // The legend lists every series; a long one makes the figure taller.
  const double height = std::max(kPlotHeight, kTop + 20 + 16 * static_cast<double>(plot.series.size()));
  const double plotW = kWidth - kLeft - kRight, plotH = kPlotHeight - kTop - kBottom;
  const auto px = [&](double x) { return kLeft + (x - xMin) / (xMax - xMin) * plotW; };
  const auto py = [&](double y) { return kTop + plotH - (y - yMin) / (yMax - yMin) * plotH; };

  std::ostringstream svg;
  svg << "<svg class=\"plot\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << height
      << "\" viewBox=\"0 0 " << kWidth << ' ' << height << "\" data-series=\"" << plot.series.size() << "\">\n";
  svg << "<text x=\"" << kLeft << "\" y=\"22\" font-size=\"15\" font-weight=\"bold\">" << Escape(plot.title)
      << "</text>\n";
  svg << "<rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\"" << plotW << "\" height=\"" << plotH
      << "\" fill=\"#fafafa\" stroke=\"#999\"/>\n";
  const double xStep = TickStep(xMax - xMin), yStep = TickStep(yMax - yMin);
  for (double x = std::ceil(xMin / xStep) * xStep; x <= xMax + 1e-9; x += xStep) {
    svg << "<line x1=\"" << Num(px(x)) << "\" y1=\"" << kTop + plotH << "\" x2=\"" << Num(px(x)) << "\" y2=\""
        << kTop + plotH + 5 << "\" stroke=\"#666\"/><text x=\"" << Num(px(x)) << "\" y=\"" << kTop + plotH + 18
        << "\" font-size=\"11\" text-anchor=\"middle\">" << TickText(x) << "</text>\n";
  }
  for (double y = std::ceil(yMin / yStep) * yStep; y <= yMax + 1e-9; y += yStep) {
    svg << "<line x1=\"" << kLeft << "\" y1=\"" << Num(py(y)) << "\" x2=\"" << kLeft + plotW << "\" y2=\"" << Num(py(y))
        << "\" stroke=\"#e4e4e4\"/><text x=\"" << kLeft - 6 << "\" y=\"" << Num(py(y) + 4)
        << "\" font-size=\"11\" text-anchor=\"end\">" << TickText(y) << "</text>\n";
  }
  svg << "<text x=\"" << kLeft + plotW / 2 << "\" y=\"" << kPlotHeight - 10
      << "\" font-size=\"12\" text-anchor=\"middle\">" << Escape(plot.xLabel) << "</text>\n";
  svg << "<text transform=\"translate(16," << kTop + plotH / 2 << ") rotate(-90)\" font-size=\"12\" "
      << "text-anchor=\"middle\">" << Escape(plot.yLabel) << "</text>\n";

  for (std::size_t i = 0; i < plot.series.size(); ++i) {
    const Series& s = plot.series[i];
    const char* colour = kColours[i % std::size(kColours)];
    const char* dash = (i / std::size(kColours)) % 2 == 1 ? " stroke-dasharray=\"6 3\"" : "";
    // One path per series; a gap (an item gone) lifts the pen.
    std::ostringstream d;
    bool penDown = false;
    std::size_t drawn = 0;
    for (const auto& [x, y] : s.points) {
      if (!y) {
        penDown = false;
        continue;
      }
      d << (penDown ? " L" : " M") << Num(px(x)) << ' ' << Num(py(*y));
      penDown = true;
      ++drawn;
    }
    // A single point still shows: a tiny horizontal stroke.
    if (drawn == 1) d << " h1";
    svg << "<path class=\"series\" fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"2\"" << dash << " d=\""
        << d.str() << "\"><title>" << Escape(s.name) << "</title></path>\n";
    const double ly = kTop + 10 + static_cast<double>(i) * 16;
    svg << "<line x1=\"" << kWidth - kRight + 12 << "\" y1=\"" << ly << "\" x2=\"" << kWidth - kRight + 32 << "\" y2=\""
        << ly << "\" stroke=\"" << colour << "\" stroke-width=\"2\"" << dash << "/><text x=\"" << kWidth - kRight + 38
        << "\" y=\"" << ly + 4 << "\" font-size=\"11\">" << Escape(s.name) << "</text>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

std::string Page(const std::string& title, const std::string& body) {
  std::ostringstream page;
  page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << Escape(title)
       << "</title>\n"
       // Errors anywhere on the page are counted for the browser check.
       << "<script>window.qmErrors=0;window.addEventListener('error',function(){window.qmErrors++;"
          "document.documentElement.setAttribute('data-errors',String(window.qmErrors));});</script>\n"
       << "<style>body{font-family:sans-serif;margin:24px;color:#222}table{border-collapse:collapse;margin:8px 0}"
          "td,th{border:1px solid #ccc;padding:3px 8px;text-align:right}th{background:#eee}"
          "td.l,th.l{text-align:left}pre{background:#f6f6f6;padding:8px;font-size:12px;max-height:480px;"
          "overflow:auto}figure{margin:12px 0}</style>\n</head>\n<body>\n<h1>"
       << Escape(title) << "</h1>\n"
       << body
       << "<script>\n"
          "(function(){\n"
          "  var plots=document.querySelectorAll('svg.plot'), drawn=0, bad=0;\n"
          "  plots.forEach(function(svg){\n"
          "    var paths=svg.querySelectorAll('path.series'), ok=paths.length>0;\n"
          "    paths.forEach(function(p){ if(!(p.getTotalLength()>0)) ok=false; });\n"
          "    svg.setAttribute('data-drawn', ok ? 'yes' : 'no');\n"
          "    if(ok) drawn++; else bad++;\n"
          "  });\n"
          "  document.documentElement.setAttribute('data-plots', String(plots.length));\n"
          "  document.documentElement.setAttribute('data-plots-drawn', String(drawn));\n"
          "  if(!document.documentElement.hasAttribute('data-errors'))\n"
          "    document.documentElement.setAttribute('data-errors', String(window.qmErrors));\n"
          "})();\n"
          "</script>\n</body>\n</html>\n";
  return page.str();
}

bool WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  return static_cast<bool>(out.flush());
}

}  // namespace qm::report
