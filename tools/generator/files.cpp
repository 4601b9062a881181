#include "tools/generator/files.h"

#include <algorithm>

namespace generator {
namespace {

void AppendRight(std::string& out, std::int64_t value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += text;
}

std::size_t Digits(std::uint32_t n) { return std::to_string(n).size(); }

void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

// One port line: the sector right-aligned to `width`, then per product " -" for
// buying or two blanks, the amount in 5 and the percentage in 3 columns.
void AppendPortLine(std::string& line, std::uint16_t s, std::size_t width, std::uint8_t buying,
                    const std::array<std::uint32_t, 3>& amount,
                    const std::array<std::uint32_t, 3>& percent) {
  AppendRight(line, s, width);
  for (std::size_t k = 0; k < 3; ++k) {
    line += (buying >> k) & 1 ? " -" : "  ";
    AppendRight(line, amount[k], 5);
    line += ' ';
    AppendRight(line, percent[k], 3);
    line += '%';
  }
}

constexpr std::array<std::string_view, 10> kLogTexts = {
    "port destroyed",      "mines here",          "hostile fighters, 300", "planet here",
    "good trade route",    "pirates seen",        "ship lost here",        "traded out, come back later",
    "beacon: keep out",    "cheap fuel"};

// Fewest-hop path from `from` to `to` over the true universe; empty if none.
std::vector<std::uint16_t> Path(const World& w, std::uint16_t from, std::uint16_t to) {
  std::vector<std::uint16_t> parent(w.n + 1, 0);
  std::vector<std::uint16_t> queue = {from};
  parent[from] = from;
  for (std::size_t i = 0; i < queue.size() && parent[to] == 0; ++i) {
    for (std::uint16_t t : w.warps[queue[i]]) {
      if (parent[t] == 0) {
        parent[t] = queue[i];
        queue.push_back(t);
      }
    }
  }
  std::vector<std::uint16_t> path;
  if (parent[to] == 0) return path;
  for (std::uint16_t s = to; s != from; s = parent[s]) path.push_back(s);
  path.push_back(from);
  std::reverse(path.begin(), path.end());
  return path;
}

// Route pairs: terra and the specials, then trips from explored sectors to
// unexplored ones, whose warps only the route file tells.
std::vector<std::pair<std::uint16_t, std::uint16_t>> RoutePairs(const World& w, Rng& rng) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs = {
      {kTerra, w.stardock}, {w.stardock, kTerra}, {kTerra, w.alpha}, {w.rylos, kTerra}};
  std::vector<std::uint16_t> unexplored;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (!w.explored[1][s]) unexplored.push_back(static_cast<std::uint16_t>(s));
  }
  std::size_t trips = 3 + w.n / 2000;
  for (std::size_t i = 0; i < trips && !unexplored.empty(); ++i) {
    std::uint16_t from = RandomExplored(w, rng);
    pairs.emplace_back(from, unexplored[rng.Below(unexplored.size())]);
  }
  return pairs;
}

// The path as the game prints it: unexplored sectors in parentheses, lines
// broken after a ">" near 70 characters.
std::vector<std::string> PathLines(const World& w, const std::vector<std::uint16_t>& path) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    std::string word = std::to_string(path[i]);
    if (!w.explored[1][path[i]]) word = "(" + word + ")";
    if (i + 1 < path.size()) word += " >";
    if (!lines.back().empty() && lines.back().size() + word.size() + 1 > 70) lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += word;
  }
  return lines;
}

}  // namespace

std::vector<std::uint16_t> Sectors(const World& w, const std::vector<std::uint8_t>& marks) {
  std::vector<std::uint16_t> list;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (marks[s]) list.push_back(static_cast<std::uint16_t>(s));
  }
  return list;
}

std::string SectorCapture(const World& w, const std::vector<std::uint8_t>& explored) {
  std::string out;
  std::string line;
  Line(out, ":");
  for (std::uint16_t s : Sectors(w, explored)) {
    line.clear();
    AppendRight(line, s, 5);
    for (std::uint16_t t : w.warps[s]) {
      line += ' ';
      AppendRight(line, t, 5);
    }
    Line(out, line);
  }
  Line(out, ":");
  return out;
}

void PortState(const Port& p, std::size_t k, std::array<std::uint32_t, 3>& amount,
               std::array<std::uint32_t, 3>& percent) {
  for (std::size_t i = 0; i < 3; ++i) {
    percent[i] = p.percent[k][i];
    amount[i] = std::uint32_t{p.capacity[k][i]} * percent[i] / 100;
  }
}

std::string PortCapture(const World& w, std::size_t k) {
  std::string out;
  std::string line;
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  Line(out, ":");
  for (std::uint16_t s : Sectors(w, w.portListed[k])) {
    PortState(w.port[s], k, amount, percent);
    line.clear();
    AppendPortLine(line, s, 5, w.port[s].buying, amount, percent);
    Line(out, line);
  }
  Line(out, ":");
  return out;
}

std::string ReferenceSectors(const World& w) {
  const std::size_t width = Digits(w.n);
  std::vector<std::uint8_t> referenced(w.n + 1, 0);
  for (std::uint16_t s : Sectors(w, w.explored[0])) {
    for (std::uint16_t t : w.warps[s]) referenced[t] = 1;
  }
  std::string out;
  std::string line;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (!w.explored[0][s] && !referenced[s]) continue;
    line.clear();
    AppendRight(line, s, width);
    if (w.explored[0][s]) {
      for (std::uint16_t t : w.warps[s]) {
        line += ' ';
        AppendRight(line, t, width);
      }
    }
    Line(out, line);
  }
  return out;
}

std::string ReferencePorts(const World& w, Rng& rng) {
  const std::size_t width = Digits(w.n);
  std::string out;
  std::string line;
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  for (std::uint16_t s : Sectors(w, w.portListed[0])) {
    PortState(w.port[s], 0, amount, percent);
    if (rng.Percent(30)) {
      for (std::size_t i = 0; i < 3; ++i) {
        if (percent[i] >= 100) continue;
        if (amount[i] > 0) {
          amount[i] = amount[i] * 100 / (percent[i] + 1);
          percent[i] = 100;
        } else {
          percent[i] = 0;
        }
      }
    }
    line.clear();
    AppendPortLine(line, s, width, w.port[s].buying, amount, percent);
    Line(out, line);
  }
  return out;
}

std::vector<std::uint16_t> FigSectors(const World& w, Rng& rng) {
  std::vector<std::uint8_t> fig(w.n + 1, 0);
  for (std::uint16_t f = kTerra; f <= kLastFed; ++f) {
    for (std::uint16_t t : w.warps[f]) {
      if (t > kLastFed && rng.Percent(60)) fig[t] = 1;
    }
  }
  for (std::uint32_t s = kLastFed + 1; s <= w.n; ++s) {
    bool wanted = w.forced[s] ? rng.Percent(40) : w.explored[1][s] && rng.Percent(3);
    if (wanted) fig[s] = 1;
  }
  return Sectors(w, fig);
}

std::string FigFile(const World& w, Rng& rng) {
  std::string out;
  for (std::uint16_t s : FigSectors(w, rng)) Line(out, std::to_string(s));
  return out;
}

std::uint16_t RandomExplored(const World& w, Rng& rng) {
  for (;;) {
    std::uint16_t s = static_cast<std::uint16_t>(rng.Between(1, w.n));
    if (w.explored[1][s]) return s;
  }
}

std::string LogFile(const World& w, Rng& rng) {
  std::string out;
  Line(out, "; trip log");
  std::size_t count = std::max<std::size_t>(12, w.n / 50);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t s = RandomExplored(w, rng);
    std::string_view text = kLogTexts[rng.Below(kLogTexts.size())];
    std::string line = std::to_string(s) + ": ";
    if (i % 7 == 3) {
      line += "IGNORE ";
    } else if (i % 7 == 6) {
      line += "autopilot note (IGNORE) ";
    }
    Line(out, line.append(text));
  }
  return out;
}

std::string NotesFile(const World& w, Rng& rng) {
  std::string out;
  Line(out, "; my notes: one line per sector, \"sector: text\"");
  if (!w.deepBubble.empty()) {
    Line(out, std::to_string(w.deepBubble.front()) + ": root of a deep bubble");
    Line(out, std::to_string(w.deepBubble.back()) + ": dead end, watch out");
  }
  if (!w.candidates.empty()) Line(out, std::to_string(w.candidates.back()) + ": lots of warps, no port");
  Line(out, std::to_string(w.references.front()) + ": home base");
  constexpr std::array<std::string_view, 5> kNotes = {"good pair next door", "mined", "safe spot",
                                                      "fuel stop", "trap: one-way in"};
  std::size_t count = std::max<std::size_t>(4, w.n / 200);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t s = RandomExplored(w, rng);
    Line(out, std::to_string(s) + ": " + std::string(kNotes[rng.Below(kNotes.size())]));
  }
  // A label an earlier run wrote for a reference that is no longer given.
  std::uint16_t stale = RandomExplored(w, rng);
  Line(out, std::to_string(stale) + ": distance reference #4");
  Line(out, "--- end of notes ---");
  return out;
}

std::string RouteFile(const World& w, Rng& rng) {
  std::string out;
  for (const auto& [from, to] : RoutePairs(w, rng)) {
    std::vector<std::uint16_t> path = Path(w, from, to);
    if (path.size() < 2) continue;
    Line(out, "plot course from " + std::to_string(from) + " to " + std::to_string(to));
    Line(out, "");
    Line(out, "  TO > " + std::to_string(to));
    for (const std::string& line : PathLines(w, path)) Line(out, line);
    Line(out, "");
  }
  return out;
}

std::string CommandLine(const World& w, const GameOptions& options, std::string_view references) {
  std::string line = "korvan2a /g:" + options.gameName + " /n:" + std::to_string(w.n) +
                     " /al:" + std::to_string(w.alpha) + " /ry:" + std::to_string(w.rylos) +
                     " /sd:" + std::to_string(w.stardock) + " /d:";
  line += references;
  line += " /m:" + options.gameName + ".ztm";
  std::string out;
  Line(out, line);
  return out;
}

std::string ReferenceList(const World& w) {
  std::string text;
  for (std::uint16_t s : w.references) {
    if (!text.empty()) text += ';';
    text += std::to_string(s);
  }
  return text;
}

}  // namespace generator
