#include "tune_plots.h"

#include "html_report.h"
#include "tune_stats.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <set>
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

std::vector<PlotSeries::Member> MembersOf(const PlotSeries& s) {
  return s.members.empty() ? std::vector<PlotSeries::Member>{{s.colour, s.light}} : s.members;
}

std::optional<double> Value(std::uint32_t hits) {
  return hits == kNever ? std::nullopt : std::optional<double>(static_cast<double>(hits));
}

// Draws, on top of uPlot's lines, each shown series' p10-p90 band; reports
// each plot as drawn. Below each plot, a legend of one entry per kind of
// item (a click hides or shows its lines; A solid, B dashed), and the values
// of the few lines nearest the cursor; power attacks are shown by one switch
// above the plots. Once laid out, it moves the cursor over every plot as a
// reader would and checks that the readout shows a value (data-hovered) for
// the browser check.
constexpr const char* kPageScript = R"JS(
(function(){
  var figures = JSON.parse(document.getElementById('qm-data').textContent);
  var nearest = 4;
  var plots = [];
  var power = document.getElementById('qm-power');
  function colour(c, light){ return 'hsl(' + Math.round(c * 360 / 13) + ',70%,' + (light ? '62%' : '38%') + ')'; }
  function hits(v){ return v == null ? 'never' : String(v); }
  function sample(s){
    var i = document.createElement('i');
    i.className = 'qm-sample';
    i.style.borderTop = '3px ' + (s.dashed ? 'dashed ' : 'solid ') + (s.colour < 0 ? '#555' : colour(s.colour, s.light));
    return i;
  }
  function bands(u, f){
    var ctx = u.ctx;
    f.series.forEach(function(s, i){
      if (!u.series[i + 1].show) return;
      ctx.save();
      ctx.fillStyle = colour(s.colour, s.light);
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
  // A line shows while one of the lines merged into it does: its kind is on,
  // and it is no power attack or the switch shows those.
  function update(p){
    p.f.series.forEach(function(s, i){
      var show = s.members.some(function(m){ return !p.off[m[0]] && (!m[1] || power.checked); });
      if (p.u.series[i + 1].show != show) p.u.setSeries(i + 1, {show: show});
    });
    readout(p);
  }
  // The lines at the cursor's starting health whose values lie nearest the
  // cursor's height, nearest first.
  function readout(p){
    var u = p.u, box = p.readout, idx = u.cursor.idx;
    box.textContent = '';
    if (idx == null || u.cursor.top == null || u.cursor.top < 0) return;
    var y = u.posToVal(u.cursor.top, 'y'), near = [];
    p.f.series.forEach(function(s, i){
      if (u.series[i + 1].show && s.p50[idx] != null) near.push({s: s, d: Math.abs(s.p50[idx] - y)});
    });
    near.sort(function(a, b){ return a.d - b.d; });
    var head = document.createElement('div');
    head.textContent = 'starting health ' + p.f.x[idx] + (near.length == 0 ? ': no line shown here' :
      ': ' + Math.min(near.length, nearest) + ' of ' + near.length + ' line(s), nearest the cursor first');
    box.appendChild(head);
    near.slice(0, nearest).forEach(function(n){
      var row = document.createElement('div');
      row.className = 'qm-line';
      row.appendChild(sample(n.s));
      row.appendChild(document.createTextNode(n.s.label + ': ' + hits(n.s.p50[idx]) + ' (p10 ' + hits(n.s.p10[idx]) +
                                              ', p90 ' + hits(n.s.p90[idx]) + ')'));
      box.appendChild(row);
    });
  }
  function legend(p){
    var box = document.createElement('div');
    box.className = 'qm-legend';
    p.f.kinds.forEach(function(kind){
      var entry = document.createElement('span');
      entry.className = 'qm-kind';
      entry.setAttribute('data-category', String(kind.colour));
      entry.appendChild(sample({colour: kind.colour}));
      entry.appendChild(document.createTextNode(kind.name));
      entry.addEventListener('click', function(){
        p.off[kind.colour] = !p.off[kind.colour];
        entry.classList.toggle('off', p.off[kind.colour]);
        update(p);
      });
      box.appendChild(entry);
    });
    if (p.f.series.some(function(s){ return s.dashed; })) {
      var key = document.createElement('span');
      key.className = 'qm-style';
      key.appendChild(sample({colour: -1}));
      key.appendChild(document.createTextNode('A '));
      key.appendChild(sample({colour: -1, dashed: true}));
      key.appendChild(document.createTextNode('B'));
      box.appendChild(key);
    }
    return box;
  }
  figures.forEach(function(f, fi){
    var el = document.getElementById('plot' + fi);
    var top = 1;
    f.series.forEach(function(s){ s.p90.concat(s.p50).forEach(function(v){ if (v != null && v > top) top = v; }); });
    var p = {el: el, f: f, off: {}};
    var series = [{label: 'starting health'}], data = [f.x];
    f.series.forEach(function(s){
      series.push({label: s.label, stroke: colour(s.colour, s.light), width: 2, dash: s.dashed ? [7, 4] : undefined,
                   points: {show: true, size: 6}});
      data.push(s.p50);
    });
    var opts = {title: f.title, width: Math.min(1100, window.innerWidth - 60), height: 380, series: series,
                legend: {show: false},
                scales: {x: {time: false}, y: {range: [0, top * 1.05]}},
                axes: [{label: 'starting health'}, {label: 'hits (line p50, band p10-p90)'}],
                hooks: {draw: [function(u){ bands(u, f); el.setAttribute('data-drawn', 'yes'); }],
                        setCursor: [function(){ if (p.u) readout(p); }]}};
    p.u = new uPlot(opts, data, el);
    el.appendChild(legend(p));
    p.readout = document.createElement('div');
    p.readout.className = 'qm-readout';
    el.appendChild(p.readout);
    plots.push(p);
    update(p);
  });
  window.qmPlots = plots;
  var powerLines = figures.some(function(f){
    return f.series.some(function(s){ return s.members.some(function(m){ return m[1]; }); });
  });
  if (powerLines) power.addEventListener('change', function(){ plots.forEach(update); });
  else power.parentNode.style.display = 'none';
  setTimeout(function(){
    var drawn = 0, hovered = 0;
    plots.forEach(function(p){
      if (p.el.getAttribute('data-drawn') == 'yes') drawn++;
      var over = p.el.querySelector('.u-over');
      var shown = function(k){ return p.f.series.some(function(s, i){ return p.u.series[i + 1].show && s.p50[k] != null; }); };
      var k = 0;
      while (k < p.f.x.length && !shown(k)) k++;
      if (over) {
        var r = over.getBoundingClientRect();
        var x = r.left + p.u.valToPos(p.f.x[Math.min(k, p.f.x.length - 1)], 'x'), y = r.top + r.height / 2;
        over.dispatchEvent(new MouseEvent('mouseenter', {clientX: x, clientY: y, bubbles: true}));
        over.dispatchEvent(new MouseEvent('mousemove', {clientX: x, clientY: y, bubbles: true}));
      }
      // A plot that shows no line (only power attacks happened) has nothing to read out but says so.
      var line = p.readout.querySelector('.qm-line');
      var ok = k < p.f.x.length ? line != null && /: [0-9]/.test(line.textContent)
                                : /no line shown/.test(p.readout.textContent);
      p.el.setAttribute('data-hovered', ok ? 'yes' : 'no');
      if (ok) hovered++;
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
        std::vector<PlotSeries::Member> members = MembersOf(m);
        for (const PlotSeries::Member& member : MembersOf(s)) members.push_back(member);
        m.members = std::move(members);
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
          series.members = {{category, power}};
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
    // The legend: one entry per kind of item drawn, whatever its lines.
    std::set<int> kinds;
    for (const PlotSeries& s : merged) {
      nlohmann::json members = nlohmann::json::array();
      for (const PlotSeries::Member& m : MembersOf(s)) {
        kinds.insert(m.category);
        members.push_back({m.category, m.power});
      }
      const auto list = [](const std::vector<std::optional<double>>& values) {
        nlohmann::json out = nlohmann::json::array();
        for (const auto& v : values) out.push_back(v ? nlohmann::json(*v) : nlohmann::json(nullptr));
        return out;
      };
      f["series"].push_back({{"label", s.label},
                             {"colour", s.colour},
                             {"light", s.light},
                             {"dashed", s.dashed},
                             {"members", members},
                             {"p10", list(s.p10)},
                             {"p50", list(s.p50)},
                             {"p90", list(s.p90)}});
    }
    f["kinds"] = nlohmann::json::array();
    for (int category : kinds) {
      const bool known = category >= 0 && category < kCategoryCount;
      f["kinds"].push_back({{"colour", category}, {"name", known ? kCategoryNames[category] : "?"}});
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
          "figure{margin:18px 0}.qm-switch{position:sticky;top:0;z-index:10;background:#fff;padding:6px 0;margin:0}"
          ".qm-legend{margin:4px 0 2px 0;font-size:14px}.qm-kind{cursor:pointer;margin-right:14px;white-space:nowrap}"
          ".qm-kind.off{opacity:.35}.qm-style{white-space:nowrap;color:#555}"
          ".qm-sample{display:inline-block;width:22px;height:0;margin:0 5px 4px 0;vertical-align:middle}"
          ".qm-readout{min-height:7.5em;font-size:14px}.qm-readout div:first-child{color:#555}</style>\n"
       << "<script>" << ScriptSafe(library.script) << "</script>\n</head>\n<body>\n<h1>" << report::Escape(title)
       << "</h1>\n"
       << intro
       << "<p>Each line is the median (p50) of the hits at each starting health, its band the p10 to p90 of the "
          "trials; hover a plot for the values of the lines nearest the cursor, click a kind of item below a plot to "
          "hide or show its lines. Power attacks are the lighter lines, shown by the switch below. Lines that are "
          "equal point for point are drawn once, with all their names.</p>\n"
       << "<p class=\"qm-switch\"><label><input type=\"checkbox\" id=\"qm-power\"> show power attacks</label></p>\n"
       << body.str() << tables << "<script type=\"application/json\" id=\"qm-data\">" << ScriptSafe(data.dump())
       << "</script>\n<script>" << kPageScript << "</script>\n</body>\n</html>\n";
  return page.str();
}

}  // namespace qm::tune
