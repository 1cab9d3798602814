#include "tune_report.h"

#include "html_report.h"
#include "tune_plots.h"

#include <algorithm>
#include <sstream>

namespace qm::tune {
namespace {

std::string Count(std::uint32_t hits) { return hits == kNever ? "never" : std::to_string(hits); }

std::string StatsText(const Stats& s, bool html) {
  char text[128];
  if (!s.any) return "never";
  std::snprintf(text, sizeof text, "%9.1f %7s %7s %7s", s.mean, Count(s.p10).c_str(), Count(s.p50).c_str(),
                Count(s.p90).c_str());
  std::string result = text;
  if (html) {
    std::snprintf(text, sizeof text, "<td>%.1f</td><td>%s</td><td>%s</td><td>%s</td>", s.mean, Count(s.p10).c_str(),
                  Count(s.p50).c_str(), Count(s.p90).c_str());
    result = text;
  }
  if (s.never != 0) result += (html ? "<td>" : "  ") + std::to_string(s.never) + " never" + (html ? "</td>" : "");
  else if (html) result += "<td></td>";
  return result;
}

}  // namespace

std::string HitsPerSecond(const LabFigures& f) {
  char text[256];
  const double seconds = f.seconds > 0 ? f.seconds : 1e-9;
  const double cpu = f.cpuSeconds > 0 ? f.cpuSeconds : 1e-9;
  std::snprintf(text, sizeof text,
                "%llu hit events and %llu update events in %.2f s: %.2f million hits per second "
                "(%.2f s of processor time: %.2f million hits per processor second)",
                static_cast<unsigned long long>(f.hitEvents), static_cast<unsigned long long>(f.updateEvents),
                f.seconds, static_cast<double>(f.hitEvents) / seconds / 1e6, f.cpuSeconds,
                static_cast<double>(f.hitEvents) / cpu / 1e6);
  return text;
}

void PrintTable(std::FILE* out, const std::vector<Case>& cases, const TuneSummary& summary) {
  std::fprintf(out, "\nHits until worn out (health <= %.6f) and until broken; %u trials per case, settings %s\n",
               static_cast<double>(summary.threshold), summary.trials, summary.settings.c_str());
  std::fprintf(out, "The follower and other-actor rows are simulated with OnlyPlayer=false.\n");
  const char* lastGroup = nullptr;
  bool lastPower = false;
  for (const Case& c : cases) {
    const char* group = ActorKindName(c.actor);
    if (group != lastGroup || c.powerAttack != lastPower) {
      std::fprintf(out, "\n%s, %s\n", group, c.powerAttack ? "power attacks" : "ordinary attacks");
      std::fprintf(out, "  %-16s %5s | %9s %7s %7s %7s | %9s %7s %7s %7s\n", "category", "start", "worn:mean", "p10",
                   "p50", "p90", "break:mean", "p10", "p50", "p90");
      lastGroup = group;
      lastPower = c.powerAttack;
    }
    std::fprintf(out, "  %-16s %5.1f | %-33s | %s\n", kCategoryNames[c.category], c.startHealth,
                 StatsText(Summarise(c.hitsToWornOut), false).c_str(),
                 StatsText(Summarise(c.hitsToBreak), false).c_str());
  }
  std::fprintf(out, "\n%s\n", HitsPerSecond(summary.figures).c_str());
  std::fprintf(out,
               "Every round hits each actor under test once, then sends two update events: the engine wears an\n"
               "actor at most once until its recent hits are cleared. The player's trials run on stand-ins,\n"
               "each made the game's player right before it is hit.\n");
}

namespace {

std::string SettingsText(const TuneSummary& summary) {
  std::ostringstream text;
  text << "<code>" << report::Escape(summary.settings) << "</code> (threshold " << summary.threshold << ")";
  return text.str();
}

std::string Method(const TuneSummary& summary) {
  std::ostringstream text;
  text << summary.trials << " trials per case; a trial gives up after " << summary.cap
       << " hits. Follower and other-actor rows are simulated with OnlyPlayer=false. Every round hits each actor "
          "under test once and then sends two update events (the engine wears an actor once until its recent hits "
          "are cleared); the player's trials run on stand-ins, each made the game's player right before its hit.";
  return text.str();
}

std::string CaseTable(const std::string& heading, const std::vector<Case>& cases) {
  std::ostringstream body;
  body << "<h2>" << report::Escape(heading)
       << "</h2>\n<table><tr><th class=\"l\">actor</th><th class=\"l\">attack</th>"
          "<th class=\"l\">category</th><th>start</th><th>worn: mean</th><th>p10</th><th>p50</th><th>p90</th>"
          "<th></th><th>broken: mean</th><th>p10</th><th>p50</th><th>p90</th><th></th></tr>\n";
  for (const Case& c : cases) {
    char start[16];
    std::snprintf(start, sizeof start, "%.1f", c.startHealth);
    const Stats worn = Summarise(c.hitsToWornOut), broke = Summarise(c.hitsToBreak);
    body << "<tr><td class=\"l\">" << ActorKindName(c.actor) << "</td><td class=\"l\">"
         << (c.powerAttack ? "power" : "ordinary") << "</td><td class=\"l\">" << kCategoryNames[c.category]
         << "</td><td>" << start << "</td>" << (worn.any ? StatsText(worn, true) : "<td colspan=\"5\">never</td>")
         << (broke.any ? StatsText(broke, true) : "<td colspan=\"5\">never</td>") << "</tr>\n";
  }
  body << "</table>\n";
  return body.str();
}

}  // namespace

bool WriteTuneReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& cases,
                     const TuneSummary& summary) {
  const std::string intro = "<p>Settings: " + SettingsText(summary) + "; " + report::Escape(Method(summary)) +
                            "</p>\n<p>" + report::Escape(HitsPerSecond(summary.figures)) + "</p>\n";
  return report::WriteFile(path, PlotPage(library, "Quellmark tuning lab", intro, CaseFigures(cases, "", false),
                                          CaseTable("All cases", cases)));
}

bool WriteCompareReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& casesA,
                        const TuneSummary& summaryA, const std::vector<Case>& casesB, const TuneSummary& summaryB) {
  const std::string intro = "<p>A (solid lines): " + SettingsText(summaryA) +
                            "<br>B (dashed lines): " + SettingsText(summaryB) + "</p>\n<p>Both on the same seeds; " +
                            report::Escape(Method(summaryA)) + "</p>\n";
  std::vector<PlotFigure> figures = CaseFigures(casesA, " A", false);
  const std::vector<PlotFigure> figuresB = CaseFigures(casesB, " B", true);
  for (std::size_t i = 0; i < figures.size() && i < figuresB.size(); ++i) {
    figures[i].series.insert(figures[i].series.end(), figuresB[i].series.begin(), figuresB[i].series.end());
  }
  return report::WriteFile(path, PlotPage(library, "Quellmark tuning lab: A and B", intro, figures,
                                          CaseTable("All cases of A", casesA) + CaseTable("All cases of B", casesB)));
}

}  // namespace qm::tune
