#include "analysis/distances.h"

#include <algorithm>

#include "analysis/hop_sweep.h"
#include "app/progress.h"
#include "platform/console.h"

void CalculateDistances(Universe& universe, std::uint16_t n, const Specials& specials,
                        std::uint16_t specialCount) {
  ConsoleWrite("calculating distances to special sectors: ");
  ConsoleFlush();
  n = SweptSectors(universe, n);
  const std::size_t slots = UsableSlots(universe, specials, specialCount);
  for (std::size_t k = kTerraSlot; k < slots; ++k) {
    // 0 means the location was not given; a number above n is treated alike.
    const std::uint16_t s = specials[k];
    if (s < 1 || s > n) continue;
    Sector& special = universe[s];
    special.hopsTo[k] = 0;
    special.hopsFrom[k] = 0;
    if (!special.warps) continue;

    // The seed writes without looking at the old value, so a special sector
    // that lists itself ends with 1, not 0, in its own slot.
    const WarpList& list = *special.warps;
    const std::size_t count = std::min(list.targets.size(), list.kinds.size());
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint16_t target = list.targets[i];
      if (target < 1 || target > n) continue;
      if (list.kinds[i] <= 1) universe[target].hopsFrom[k] = 1;
      if (list.kinds[i] >= 1) universe[target].hopsTo[k] = 1;
    }
    SweepHops(universe, n, k, SweepDirection::Outward, 1);
    SweepHops(universe, n, k, SweepDirection::Inward, 1);
  }
  EndPhaseLine();
}
