#include "analysis/msl.h"

#include <algorithm>
#include <iterator>

#include "analysis/hop_sweep.h"
#include "platform/console.h"
#include "platform/file.h"
#include "progress/progress.h"
#include "text/text.h"

namespace {

struct LanePair {
  std::size_t from;  // slots of the specials table
  std::size_t to;
  const char* title;
};

constexpr LanePair kLanePairs[] = {
    {kTerraSlot, kStardockSlot, "terra to stardock"},
    {kStardockSlot, kTerraSlot, "stardock to terra"},
    {kAlphaSlot, kRylosSlot, "alpha centauri to rylos"},
    {kRylosSlot, kAlphaSlot, "rylos to alpha centauri"},
    {kAlphaSlot, kStardockSlot, "alpha centauri to stardock"},
    {kStardockSlot, kAlphaSlot, "stardock to alpha centauri"},
    {kRylosSlot, kStardockSlot, "rylos to stardock"},
    {kStardockSlot, kRylosSlot, "stardock to rylos"},
};

void MarkOnLane(Sector& sector) {
  sector.hopsTo[kMslSlot] = 0;
  sector.hopsFrom[kMslSlot] = 0;
}

// Walks from start towards the special sector of slot k, always jumping to the
// first listed sector that is closer to it than the best count so far, marks
// every sector passed as lying on the lane and appends it to the route text.
void WalkLane(Universe& universe, std::uint16_t n, std::uint16_t start,
              std::uint16_t destination, std::size_t k, std::string& route) {
  MarkOnLane(universe[start]);
  route.clear();
  AppendRight(route, start);
  std::uint8_t best = universe[start].hopsTo[k];
  std::uint16_t current = start;
  for (;;) {
    const std::optional<WarpList>& warps = universe[current].warps;
    if (!warps) return;
    const std::size_t count = std::min(warps->targets.size(), warps->kinds.size());
    std::uint16_t chosen = 0;
    for (std::size_t i = 0; i < count && chosen == 0; ++i) {
      const std::uint16_t target = warps->targets[i];
      if (warps->kinds[i] > 1 || target < 1 || target > n) continue;
      if (universe[target].hopsTo[k] < best) chosen = target;
    }
    if (chosen == 0) return;
    best = universe[chosen].hopsTo[k];
    current = chosen;
    route += " > ";
    AppendRight(route, current);
    MarkOnLane(universe[current]);
    if (current == destination) return;
  }
}

// One amtrak line: the sector, then every sector above fed space that it can
// jump to and that is not on the lane, "+" marking a fig.
void BuildAmtrakLine(std::string& line, const Universe& universe, std::uint16_t s, int width) {
  line.clear();
  AppendRight(line, s, width);
  line += " : ";
  const WarpList& warps = *universe[s].warps;
  const std::size_t count = std::min(warps.targets.size(), warps.kinds.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t target = warps.targets[i];
    if (warps.kinds[i] > 1 || target <= 10) continue;
    const Sector& sector = universe.Lookup(target);
    if (sector.hopsFrom[kMslSlot] == 0) continue;
    if (sector.fig) line += '+';
    AppendRight(line, target);
    line += ' ';
  }
}

}  // namespace

void CalculateMsl(Universe& universe, const Specials& specials, const std::string& fileName) {
  const std::uint16_t n = universe.size();
  const std::size_t slots = UsableSlots(universe, specials);
  // The lanes need all four special sectors; a /d: slot is always a sector.
  if (slots <= kStardockSlot) return;
  for (std::size_t k = kTerraSlot; k < slots; ++k) {
    if (specials[k] < 1 || specials[k] > n) return;
  }

  ConsoleWrite("calculating msl: ");
  ConsoleFlush();
  std::string routes[std::size(kLanePairs)];
  for (std::size_t p = 0; p < std::size(kLanePairs); ++p) {
    const LanePair& pair = kLanePairs[p];
    WalkLane(universe, n, specials[pair.from], specials[pair.to], pair.to, routes[p]);
  }
  EndPhaseLine();

  AnnounceFile("writing msl report: ", fileName);
  OutputFile out(fileName);
  const int width = NumberWidth(n);
  std::string line;
  for (std::size_t p = 0; p < std::size(kLanePairs); ++p) {
    const LanePair& pair = kLanePairs[p];
    line.assign(static_cast<std::size_t>(2 * width + 6), ' ');
    line += pair.title;
    out.WriteLine(line);
    line.clear();
    AppendRight(line, specials[pair.from], width);
    line += "-->";
    AppendLeft(line, specials[pair.to], width);
    line += " : ";
    line += routes[p];
    out.WriteLine(line);
    out.WriteLine("");
  }

  // Hop counts to and from the nearest lane sector, from all of them at once.
  HopColumns lane(universe, kMslSlot, kMslSlot + 1);
  const MoveTables moves(universe);
  moves.outward.Sweep(lane.from(kMslSlot), 0);
  moves.inward.Sweep(lane.to(kMslSlot), 0);
  lane.Store(universe);

  out.WriteLine("amtrak sectors around fed");
  const std::uint16_t lastFed = std::min<std::uint16_t>(10, n);
  for (std::uint16_t s = 1; s <= lastFed; ++s) {
    if (!universe[s].warps) continue;
    BuildAmtrakLine(line, universe, s, width);
    out.WriteLine(line);
  }
  out.WriteLine("amtrak sectors around msl");
  for (std::uint32_t s = 11; s <= n; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (!sector.warps || sector.hopsFrom[kMslSlot] != 0) continue;
    BuildAmtrakLine(line, universe, static_cast<std::uint16_t>(s), width);
    out.WriteLine(line);
  }
  out.Commit();
  EndPhaseLine();
}
