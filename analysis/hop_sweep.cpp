#include "analysis/hop_sweep.h"

#include <algorithm>

MoveTables::MoveTables(const Universe& universe, std::uint16_t n) {
  const std::uint16_t last = SweptSectors(universe, n);
  std::size_t entries = 0;
  for (std::uint32_t s = 1; s <= last; ++s) {
    const std::optional<WarpList>& warps = universe[static_cast<std::uint16_t>(s)].warps;
    if (warps) entries += warps->targets.size();
  }
  for (MoveTable* table : {&outward, &inward}) {
    table->n_ = last;
    table->first_.assign(last + std::size_t{2}, 0);
    table->moves_.reserve(entries);
  }
  for (std::uint32_t s = 1; s <= last; ++s) {
    outward.first_[s] = static_cast<std::uint32_t>(outward.moves_.size());
    inward.first_[s] = static_cast<std::uint32_t>(inward.moves_.size());
    const std::optional<WarpList>& warps = universe[static_cast<std::uint16_t>(s)].warps;
    if (!warps) continue;
    const std::size_t count = std::min(warps->targets.size(), warps->kinds.size());
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t kind = warps->kinds[i];
      const std::uint16_t target = warps->targets[i];
      if (target < 1 || target > last) continue;
      if (kind <= 1) outward.moves_.push_back(target);
      if (kind >= 1) inward.moves_.push_back(target);
    }
  }
  outward.first_[last + std::size_t{1}] = static_cast<std::uint32_t>(outward.moves_.size());
  inward.first_[last + std::size_t{1}] = static_cast<std::uint32_t>(inward.moves_.size());
}

void MoveTable::Sweep(std::vector<std::uint8_t>& hops, std::uint8_t startLevel) const {
  // Sectors that hold a count before the sweep are expanded at the level of
  // that count, as the whole-table rescans would. Nearly always they all hold
  // startLevel (the seeds, or the lane), so one pass gathers them and they are
  // sorted by count only when their counts differ; within a count they stay in
  // ascending order.
  std::vector<std::uint16_t> held;
  bool oneLevel = true;
  for (std::uint32_t s = 1; s <= n_; ++s) {
    const std::uint8_t count = hops[s];
    if (count >= startLevel && count < kDeepestHops) {
      held.push_back(static_cast<std::uint16_t>(s));
      oneLevel = oneLevel && count == startLevel;
    }
  }
  if (!oneLevel) {
    std::stable_sort(held.begin(), held.end(),
                     [&hops](std::uint16_t a, std::uint16_t b) { return hops[a] < hops[b]; });
  }

  std::vector<std::uint16_t> current;  // sectors given the current level by the last pass
  std::vector<std::uint16_t> next;
  current.reserve(n_);
  next.reserve(n_);
  std::size_t nextHeld = 0;
  for (std::uint32_t level = startLevel; level < kDeepestHops; ++level) {
    const auto reached = static_cast<std::uint8_t>(level + 1);
    bool changed = false;
    auto expand = [&](std::uint16_t t) {
      for (std::uint32_t i = first_[t]; i < first_[t + 1u]; ++i) {
        const std::uint16_t target = moves_[i];
        if (hops[target] != kNoRoute) continue;
        hops[target] = reached;
        next.push_back(target);
        changed = true;
      }
    };
    // A held sector's count never changes: only sectors holding 255 are written.
    for (; nextHeld < held.size() && hops[held[nextHeld]] == level; ++nextHeld) {
      expand(held[nextHeld]);
    }
    for (std::uint16_t t : current) expand(t);
    if (!changed) break;
    current.swap(next);
    next.clear();
  }
}

HopColumns::HopColumns(const Universe& universe, std::uint16_t n, std::size_t firstSlot,
                       std::size_t endSlot)
    : n_(SweptSectors(universe, n)),
      firstSlot_(firstSlot),
      to_(endSlot > firstSlot ? endSlot - firstSlot : 0,
          std::vector<std::uint8_t>(n_ + std::size_t{1}, kNoRoute)),
      from_(to_) {
  for (std::uint32_t s = 1; s <= n_; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    for (std::size_t i = 0; i < to_.size(); ++i) {
      to_[i][s] = sector.hopsTo[firstSlot_ + i];
      from_[i][s] = sector.hopsFrom[firstSlot_ + i];
    }
  }
}

void HopColumns::Store(Universe& universe) const {
  for (std::uint32_t s = 1; s <= n_; ++s) {
    Sector& sector = universe[static_cast<std::uint16_t>(s)];
    for (std::size_t i = 0; i < to_.size(); ++i) {
      sector.hopsTo[firstSlot_ + i] = to_[i][s];
      sector.hopsFrom[firstSlot_ + i] = from_[i][s];
    }
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
