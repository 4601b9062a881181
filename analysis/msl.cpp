#include "analysis/msl.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "analysis/hop_sweep.h"
#include "platform/console.h"
#include "progress/progress.h"

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
// every sector passed as lying on the lane and lists it in the route.
void WalkLane(Universe& universe, std::uint16_t n, std::uint16_t start,
              std::uint16_t destination, std::size_t k, std::vector<std::uint16_t>& route) {
  MarkOnLane(universe[start]);
  route.assign(1, start);
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
    route.push_back(current);
    MarkOnLane(universe[current]);
    if (current == destination) return;
  }
}

}  // namespace

std::vector<LaneRoute> CalculateMsl(Universe& universe, const Specials& specials) {
  const std::uint16_t n = universe.size();
  const std::size_t slots = UsableSlots(universe, specials);
  std::vector<LaneRoute> routes;
  // The lanes need all four special sectors; a /d: slot is always a sector.
  if (slots <= kStardockSlot) return routes;
  for (std::size_t k = kTerraSlot; k < slots; ++k) {
    if (specials[k] < 1 || specials[k] > n) return routes;
  }

  ConsoleWrite("calculating msl: ");
  ConsoleFlush();
  routes.reserve(std::size(kLanePairs));
  for (const LanePair& pair : kLanePairs) {
    LaneRoute& route = routes.emplace_back(
        LaneRoute{pair.title, specials[pair.from], specials[pair.to], {}});
    WalkLane(universe, n, route.from, route.to, pair.to, route.sectors);
  }

  // Hop counts to and from the nearest lane sector, from all of them at once.
  HopColumns lane(universe, kMslSlot, kMslSlot + 1);
  const MoveTables moves(universe);
  moves.outward.Sweep(lane.from(kMslSlot), 0);
  moves.inward.Sweep(lane.to(kMslSlot), 0);
  lane.Store(universe);
  EndPhaseLine();
  return routes;
}
