#include "tests/analysis/literal_analysis.h"

#include <string_view>

namespace {

bool InUniverse(std::uint32_t s, std::uint16_t n) { return s >= 1 && s <= n; }

// One sweep: pass after pass over the whole table, each expanding the sectors
// whose count equals the level; ends after a pass without change, or after the
// pass that stored 254.
void LiteralSweep(Universe& universe, std::uint16_t n, std::size_t k, bool outward,
                  std::uint32_t level) {
  bool changed = false;
  do {
    changed = false;
    for (std::uint32_t t = 1; t <= n; ++t) {
      Sector& sector = universe[static_cast<std::uint16_t>(t)];
      const std::uint8_t hops = outward ? sector.hopsFrom[k] : sector.hopsTo[k];
      if (hops != level || !sector.warps) continue;
      const WarpList& list = *sector.warps;
      for (std::size_t i = 0; i < list.targets.size(); ++i) {
        const std::uint16_t target = list.targets[i];
        if (!InUniverse(target, n)) continue;
        std::uint8_t& entry = outward ? universe[target].hopsFrom[k] : universe[target].hopsTo[k];
        const bool follows = outward ? list.kinds[i] <= 1 : list.kinds[i] >= 1;
        if (entry == 255 && follows) {
          entry = static_cast<std::uint8_t>(level + 1);
          changed = true;
        }
      }
    }
    level = level + 1;
  } while (changed && level < 254);
}

void AppendNumber(std::string& out, std::uint32_t value) { out += std::to_string(value); }

void AppendRightIn(std::string& out, std::uint32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) out.append(width - digits.size(), ' ');
  out += digits;
}

void AppendLeftIn(std::string& out, std::uint32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  out += digits;
  if (digits.size() < width) out.append(width - digits.size(), ' ');
}

std::size_t Width(std::uint16_t n) { return std::to_string(n).size(); }

void Line(std::string& out, std::string_view line) {
  out += line;
  out += "\r\n";
}

}  // namespace

void LiteralCalculateDistances(Universe& universe, std::uint16_t n, const Specials& specials,
                               std::uint16_t specialCount) {
  for (std::size_t k = 1; k < specialCount; ++k) {
    const std::uint16_t s = specials[k];
    if (!InUniverse(s, n)) continue;
    universe[s].hopsTo[k] = 0;
    universe[s].hopsFrom[k] = 0;
    if (!universe[s].warps) continue;
    const WarpList list = *universe[s].warps;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      if (!InUniverse(list.targets[i], n)) continue;
      if (list.kinds[i] <= 1) universe[list.targets[i]].hopsFrom[k] = 1;
      if (list.kinds[i] >= 1) universe[list.targets[i]].hopsTo[k] = 1;
    }
    LiteralSweep(universe, n, k, true, 1);
    LiteralSweep(universe, n, k, false, 1);
  }
}

std::optional<std::string> LiteralCalculateMsl(Universe& universe, std::uint16_t n,
                                               const Specials& specials,
                                               std::uint16_t specialCount) {
  for (std::size_t k = 1; k < specialCount; ++k) {
    if (!InUniverse(specials[k], n)) return std::nullopt;
  }
  struct Pair {
    std::size_t from, to;
    const char* title;
  };
  const Pair pairs[8] = {{1, 4, "terra to stardock"},
                         {4, 1, "stardock to terra"},
                         {2, 3, "alpha centauri to rylos"},
                         {3, 2, "rylos to alpha centauri"},
                         {2, 4, "alpha centauri to stardock"},
                         {4, 2, "stardock to alpha centauri"},
                         {3, 4, "rylos to stardock"},
                         {4, 3, "stardock to rylos"}};
  std::string routes[8];
  for (int p = 0; p < 8; ++p) {
    const std::uint16_t start = specials[pairs[p].from];
    const std::uint16_t destination = specials[pairs[p].to];
    const std::size_t k = pairs[p].to;
    universe[start].hopsTo[0] = 0;
    universe[start].hopsFrom[0] = 0;
    AppendNumber(routes[p], start);
    std::uint8_t best = universe[start].hopsTo[k];
    std::uint16_t current = start;
    for (;;) {
      if (!universe[current].warps) break;
      const WarpList& list = *universe[current].warps;
      bool found = false;
      for (std::size_t i = 0; i < list.targets.size(); ++i) {
        const std::uint16_t target = list.targets[i];
        if ((list.kinds[i] == oneWayOut || list.kinds[i] == twoWay) && InUniverse(target, n) &&
            universe[target].hopsTo[k] < best) {
          best = universe[target].hopsTo[k];
          current = target;
          routes[p] += " > ";
          AppendNumber(routes[p], target);
          universe[target].hopsTo[0] = 0;
          universe[target].hopsFrom[0] = 0;
          found = true;
          break;
        }
      }
      if (!found || current == destination) break;
    }
  }

  const std::size_t w = Width(n);
  std::string report;
  std::string line;
  for (int p = 0; p < 8; ++p) {
    Line(report, std::string(2 * w + 6, ' ') + pairs[p].title);
    line.clear();
    AppendRightIn(line, specials[pairs[p].from], w);
    line += "-->";
    AppendLeftIn(line, specials[pairs[p].to], w);
    line += " : " + routes[p];
    Line(report, line);
    Line(report, "");
  }
  LiteralSweep(universe, n, 0, true, 0);
  LiteralSweep(universe, n, 0, false, 0);

  auto amtrak = [&](std::uint16_t s) {
    line.clear();
    AppendRightIn(line, s, w);
    line += " : ";
    const WarpList& list = *universe[s].warps;
    for (std::size_t i = 0; i < list.targets.size(); ++i) {
      const std::uint16_t t = list.targets[i];
      if (list.kinds[i] > 1 || t <= 10) continue;
      if (universe.Lookup(t).hopsFrom[0] == 0) continue;
      if (universe.Lookup(t).fig) line += "+";
      AppendNumber(line, t);
      line += " ";
    }
    Line(report, line);
  };
  Line(report, "amtrak sectors around fed");
  for (std::uint16_t s = 1; s <= 10 && s <= n; ++s) {
    if (universe[s].warps) amtrak(s);
  }
  Line(report, "amtrak sectors around msl");
  for (std::uint32_t s = 11; s <= n; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (sector.warps && sector.hopsFrom[0] == 0) amtrak(static_cast<std::uint16_t>(s));
  }
  return report;
}

std::string LiteralDistanceReport(const Universe& universe, std::uint16_t n,
                                  const Specials& specials, std::uint16_t specialCount) {
  const std::size_t w = Width(n);
  const std::size_t count = specialCount;
  std::string separator = std::string(w + 1, '-') + "+";
  for (std::size_t k = 0; k < count; ++k) separator += "-------+";
  std::string numbers;
  for (std::size_t k = 1; k < count; ++k) {
    const std::string digits = std::to_string(specials[k]);
    const std::size_t spare = 7 - digits.size();
    numbers += std::string((spare + 1) / 2, ' ') + digits + std::string(spare / 2, ' ') + "|";
  }
  const std::string cut = std::string("sector ").substr(0, w + 1);

  std::string report;
  Line(report, std::string(w > 2 ? w - 2 : 0, ' ') + "A  |  B..->  (from A to B),(from B to A)");
  Line(report, separator);
  std::string header = cut + "|  msl  | terra | alpha | rylos | strdk |";
  for (std::size_t k = 5; k < count; ++k) header += "       |";
  Line(report, header);
  Line(report, std::string(w + 1, ' ') + "|       |" + numbers);
  Line(report, separator);
  for (std::uint32_t s = 1; s <= n; ++s) {
    std::string row;
    AppendRightIn(row, s, w);
    row += " |";
    for (std::size_t k = 0; k < count; ++k) {
      AppendRightIn(row, universe[static_cast<std::uint16_t>(s)].hopsTo[k], 3);
      row += ",";
      AppendLeftIn(row, universe[static_cast<std::uint16_t>(s)].hopsFrom[k], 3);
      row += "|";
    }
    Line(report, row);
    if (s % 25 == 0) {
      Line(report, separator);
      Line(report, cut + "|  msl  |" + numbers);
      Line(report, separator);
    }
  }
  return report;
}
