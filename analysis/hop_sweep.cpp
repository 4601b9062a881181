#include "analysis/hop_sweep.h"

#include <algorithm>
#include <array>
#include <vector>

void SweepHops(Universe& universe, std::uint16_t n, std::size_t slot,
               SweepDirection direction, std::uint8_t startLevel) {
  n = SweptSectors(universe, n);
  const bool outward = direction == SweepDirection::Outward;
  std::vector<std::uint8_t> Sector::*const table = outward ? &Sector::hopsFrom : &Sector::hopsTo;

  // Sectors that hold a count before the sweep are expanded at the level of
  // that count, as the whole-table rescans would; bucket them by count.
  std::array<std::uint32_t, kDeepestHops + 2> first{};
  for (std::uint32_t s = 1; s <= n; ++s) {
    const std::uint8_t hops = (universe[static_cast<std::uint16_t>(s)].*table)[slot];
    if (hops >= startLevel && hops < kDeepestHops) ++first[hops + 1u];
  }
  for (std::size_t level = 1; level < first.size(); ++level) first[level] += first[level - 1];
  std::vector<std::uint16_t> seeded(first.back());
  {
    std::array<std::uint32_t, kDeepestHops + 2> fill = first;
    for (std::uint32_t s = 1; s <= n; ++s) {
      const std::uint8_t hops = (universe[static_cast<std::uint16_t>(s)].*table)[slot];
      if (hops >= startLevel && hops < kDeepestHops) {
        seeded[fill[hops]++] = static_cast<std::uint16_t>(s);
      }
    }
  }

  std::vector<std::uint16_t> current;  // sectors that got the current level in the last pass
  std::vector<std::uint16_t> next;
  for (std::uint32_t level = startLevel; level < kDeepestHops; ++level) {
    const auto reached = static_cast<std::uint8_t>(level + 1);
    bool changed = false;
    auto expand = [&](std::uint16_t t) {
      const std::optional<WarpList>& warps = universe[t].warps;
      if (!warps) return;
      const std::size_t count = std::min(warps->targets.size(), warps->kinds.size());
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t kind = warps->kinds[i];
        if (outward ? kind > 1 : kind < 1) continue;
        const std::uint16_t target = warps->targets[i];
        if (target < 1 || target > n) continue;
        std::uint8_t& hops = (universe[target].*table)[slot];
        if (hops != kNoRoute) continue;
        hops = reached;
        next.push_back(target);
        changed = true;
      }
    };
    for (std::uint32_t i = first[level]; i < first[level + 1]; ++i) expand(seeded[i]);
    for (std::uint16_t t : current) expand(t);
    if (!changed) break;
    current.swap(next);
    next.clear();
  }
}

std::size_t UsableSlots(const Universe& universe, const Specials& specials,
                        std::uint16_t specialCount) {
  return std::min({static_cast<std::size_t>(specialCount), specials.size(),
                   universe.specialCount()});
}

std::uint16_t SweptSectors(const Universe& universe, std::uint16_t n) {
  return std::min(n, universe.size());
}
