#include "tune_plots.h"

#include "html_report.h"
#include "tune_stats.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace qm::tune {
namespace {

constexpr const char* kLibraryFolder = "node_modules/uplot/dist";

bool ReadText(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

// Nothing in an inlined script may close the script element early.
std::string ScriptSafe(const std::string& text) {
  std::string safe;
  safe.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    safe += text[i];
    if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '/') safe += '\\';
  }
  return safe;
}

std::optional<double> Value(std::uint32_t hits) {
  return hits == kNever ? std::nullopt : std::optional<double>(static_cast<double>(hits));
}

// Draws, on top of uPlot's lines, each shown series' p10-p90 band; reports
// each plot as drawn; puts the band into the hover value; and, once laid
// out, moves the cursor over every plot as a reader would and checks that
// the legend shows a value (data-hovered) for the browser check.
constexpr const char* kPageScript = R"JS(
(function(){
  var figures = JSON.parse(document.getElementById('qm-data').textContent);
  var plots = [];
  function colour(s){ return 'hsl(' + Math.round(s.colour * 360 / 13) + ',70%,' + (s.light ? '62%' : '38%') + ')'; }
  function hits(v){ return v == null ? 'never' : String(v); }
  function bands(u, f){
    var ctx = u.ctx;
    f.series.forEach(function(s, i){
      if (!u.series[i + 1].show) return;
      ctx.save();
      ctx.fillStyle = colour(s);
      ctx.globalAlpha = 0.12;
      var run = [];
      function flush(){
        if (run.length > 0) {
          ctx.beginPath();
          run.forEach(function(k, n){
            var x = u.valToPos(f.x[k], 'x', true), y = u.valToPos(s.p90[k], 'y', true);
            if (n == 0) ctx.moveTo(x, y); else ctx.lineTo(x, y);
          });
          run.slice().reverse().forEach(function(k){ ctx.lineTo(u.valToPos(f.x[k], 'x', true), u.valToPos(s.p10[k], 'y', true)); });
          ctx.closePath();
          ctx.fill();
        }
        run = [];
      }
      for (var k = 0; k < f.x.length; k++) {
        if (s.p10[k] != null && s.p90[k] != null) run.push(k); else flush();
      }
      flush();
      ctx.restore();
    });
  }
  figures.forEach(function(f, fi){
    var el = document.getElementById('plot' + fi);
    var top = 1;
    f.series.forEach(function(s){ s.p90.concat(s.p50).forEach(function(v){ if (v != null && v > top) top = v; }); });
    var series = [{label: 'starting health'}], data = [f.x];
    f.series.forEach(function(s){
      series.push({label: s.label, stroke: colour(s), width: 2, dash: s.dashed ? [7, 4] : undefined,
                   points: {show: true, size: 6},
                   value: function(u, v, si, idx){
                     if (idx == null) return '';
                     return hits(v) + (v == null ? '' : ' (p10 ' + hits(s.p10[idx]) + ', p90 ' + hits(s.p90[idx]) + ')');
                   }});
      data.push(s.p50);
    });
    var opts = {title: f.title, width: Math.min(1100, window.innerWidth - 60), height: 380, series: series,
                scales: {x: {time: false}, y: {range: [0, top * 1.05]}},
                axes: [{label: 'starting health'}, {label: 'hits (line p50, band p10-p90)'}],
                hooks: {draw: [function(u){ bands(u, f); el.setAttribute('data-drawn', 'yes'); }]}};
    plots.push({u: new uPlot(opts, data, el), el: el, f: f});
  });
  setTimeout(function(){
    var drawn = 0, hovered = 0;
    plots.forEach(function(p){
      if (p.el.getAttribute('data-drawn') == 'yes') drawn++;
      var over = p.el.querySelector('.u-over');
      var k = 0;
      while (k < p.f.x.length && !p.f.series.some(function(s){ return s.p50[k] != null; })) k++;
      if (over && k < p.f.x.length) {
        var r = over.getBoundingClientRect();
        var x = r.left + p.u.valToPos(p.f.x[k], 'x'), y = r.top + r.height / 2;
        over.dispatchEvent(new MouseEvent('mouseenter', {clientX: x, clientY: y, bubbles: true}));
        over.dispatchEvent(new MouseEvent('mousemove', {clientX: x, clientY: y, bubbles: true}));
      }
      var values = p.el.querySelectorAll('.u-legend .u-series:not(:first-child) .u-value');
      var shown = Array.prototype.some.call(values, function(v){ return /[0-9]/.test(v.textContent); });
      p.el.setAttribute('data-hovered', shown ? 'yes' : 'no');
      if (shown) hovered++;
    });
    var html = document.documentElement;
    html.setAttribute('data-plots', String(plots.length));
    html.setAttribute('data-plots-drawn', String(drawn));
    html.setAttribute('data-hovered', String(hovered));
    if (!html.hasAttribute('data-errors')) html.setAttribute('data-errors', String(window.qmErrors));
  }, 200);
})();
)JS";

}  // namespace

std::optional<PlotLibrary> FindPlotLibrary(const std::string& program, std::string& error) {
  std::vector<std::filesystem::path> starts = {std::filesystem::absolute(program).parent_path(),
                                               std::filesystem::current_path()};
  std::string looked;
  for (std::filesystem::path folder : starts) {
    for (;;) {
      const auto dist = folder / kLibraryFolder;
      PlotLibrary library;
      if (ReadText(dist / "uPlot.iife.min.js", library.script) && ReadText(dist / "uPlot.min.css", library.style)) {
        return library;
      }
      looked += "\n  " + dist.string();
      if (!folder.has_parent_path() || folder.parent_path() == folder) break;
      folder = folder.parent_path();
    }
  }
  error = "the report needs the plotting library uPlot: run `npm ci` in the source folder (looked in:" + looked + ")";
  return std::nullopt;
}

std::vector<PlotSeries> MergeIdentical(std::vector<PlotSeries> series) {
  std::vector<PlotSeries> merged;
  for (PlotSeries& s : series) {
    bool found = false;
    for (PlotSeries& m : merged) {
      if (m.p10 == s.p10 && m.p50 == s.p50 && m.p90 == s.p90) {
        m.label += ", " + s.label;
        found = true;
        break;
      }
    }
    if (!found) merged.push_back(std::move(s));
  }
  return merged;
}

std::vector<PlotFigure> CaseFigures(const std::vector<Case>& cases, const std::string& suffix, bool dashed) {
  std::vector<PlotFigure> figures;
  for (ActorKind actor : {ActorKind::Player, ActorKind::Follower, ActorKind::Other}) {
    for (bool breaking : {false, true}) {
      PlotFigure figure;
      figure.title = std::string("Hits until ") + (breaking ? "broken" : "worn out") + ": " + ActorKindName(actor);
      for (bool power : {false, true}) {
        for (int category = 0; category < kCategoryCount; ++category) {
          PlotSeries series;
          series.label = std::string(kCategoryNames[category]) + (power ? " power" : "") + suffix;
          series.colour = category;
          series.light = power;
          series.dashed = dashed;
          bool any = false;
          for (double start : kStartHealths) {
            const Case* found = nullptr;
            for (const Case& c : cases) {
              if (c.actor == actor && c.powerAttack == power && c.category == category && c.startHealth == start)
                found = &c;
            }
            const Stats s = found == nullptr ? Stats{}
                                             : Summarise(breaking ? found->hitsToBreak : found->hitsToWornOut);
            series.p10.push_back(s.any ? Value(s.p10) : std::nullopt);
            series.p50.push_back(s.any ? Value(s.p50) : std::nullopt);
            series.p90.push_back(s.any ? Value(s.p90) : std::nullopt);
            any = any || series.p50.back().has_value();
          }
          if (any) figure.series.push_back(std::move(series));
        }
      }
      figures.push_back(std::move(figure));
    }
  }
  return figures;
}

std::string PlotPage(const PlotLibrary& library, const std::string& title, const std::string& intro,
                     const std::vector<PlotFigure>& figures, const std::string& tables) {
  nlohmann::json data = nlohmann::json::array();
  std::ostringstream body;
  std::size_t shown = 0;
  for (const PlotFigure& figure : figures) {
    const std::vector<PlotSeries> merged = MergeIdentical(figure.series);
    if (merged.empty()) {
      body << "<p><b>" << report::Escape(figure.title) << "</b>: never, with these settings.</p>\n";
      continue;
    }
    nlohmann::json f;
    f["title"] = figure.title;
    f["x"] = std::vector<double>(std::begin(kStartHealths), std::end(kStartHealths));
    f["series"] = nlohmann::json::array();
    for (const PlotSeries& s : merged) {
      const auto list = [](const std::vector<std::optional<double>>& values) {
        nlohmann::json out = nlohmann::json::array();
        for (const auto& v : values) out.push_back(v ? nlohmann::json(*v) : nlohmann::json(nullptr));
        return out;
      };
      f["series"].push_back({{"label", s.label},
                             {"colour", s.colour},
                             {"light", s.light},
                             {"dashed", s.dashed},
                             {"p10", list(s.p10)},
                             {"p50", list(s.p50)},
                             {"p90", list(s.p90)}});
    }
    data.push_back(f);
    body << "<figure class=\"plot\" id=\"plot" << shown++ << "\"></figure>\n";
  }
  std::ostringstream page;
  page << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << report::Escape(title)
       << "</title>\n"
       << "<script>window.qmErrors=0;window.addEventListener('error',function(){window.qmErrors++;"
          "document.documentElement.setAttribute('data-errors',String(window.qmErrors));});</script>\n"
       << "<style>" << library.style
       << "body{font-family:sans-serif;margin:24px;color:#222}table{border-collapse:collapse;margin:8px 0}"
          "td,th{border:1px solid #ccc;padding:3px 8px;text-align:right}th{background:#eee}td.l,th.l{text-align:left}"
          "figure{margin:18px 0}.u-legend{text-align:left}.u-legend .u-series{cursor:pointer}</style>\n"
       << "<script>" << ScriptSafe(library.script) << "</script>\n</head>\n<body>\n<h1>" << report::Escape(title)
       << "</h1>\n"
       << intro
       << "<p>Each line is the median (p50) of the hits at each starting health, its band the p10 to p90 of the "
          "trials; hover a plot for the values, click a legend entry to hide or show its line. Lines that are equal "
          "point for point are drawn once, with all their names.</p>\n"
       << body.str() << tables << "<script type=\"application/json\" id=\"qm-data\">" << ScriptSafe(data.dump())
       << "</script>\n<script>" << kPageScript << "</script>\n</body>\n</html>\n";
  return page.str();
}

}  // namespace qm::tune
