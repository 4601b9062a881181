#include "analysis/distances.h"

#include <algorithm>

#include "analysis/hop_sweep.h"
#include "platform/console.h"
#include "progress/progress.h"

void CalculateDistances(Universe& universe, const Specials& specials) {
  ConsoleWrite("calculating distances to special sectors: ");
  ConsoleFlush();
  const std::uint16_t n = universe.size();
  const std::size_t slots = UsableSlots(universe, specials);
  const MoveTables moves(universe);
  HopColumns columns(universe, kTerraSlot, slots);
  for (std::size_t k = kTerraSlot; k < slots; ++k) {
    // 0 means the location was not given; a number above n is treated alike.
    const std::uint16_t s = specials[k];
    if (s < 1 || s > n) continue;
    std::vector<std::uint8_t>& to = columns.to(k);
    std::vector<std::uint8_t>& from = columns.from(k);
    to[s] = 0;
    from[s] = 0;
    if (!universe[s].warps) continue;

    // The seed writes without looking at the old value, so a special sector
    // that lists itself ends with 1, not 0, in its own slot.
    const WarpList& list = *universe[s].warps;
    const std::size_t count = std::min(list.targets.size(), list.kinds.size());
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint16_t target = list.targets[i];
      if (target < 1 || target > n) continue;
      if (list.kinds[i] <= 1) from[target] = 1;
      if (list.kinds[i] >= 1) to[target] = 1;
    }
    moves.outward.Sweep(from, 1);
    moves.inward.Sweep(to, 1);
  }
  columns.Store(universe);
  EndPhaseLine();
}
