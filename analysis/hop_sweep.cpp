#include "analysis/hop_sweep.h"

#include <algorithm>
#include <memory>
#include <utility>

MoveTables::MoveTables(const Universe& universe) {
  const std::uint16_t last = universe.size();
  for (MoveTable* table : {&outward, &inward}) {
    table->n_ = last;
    table->first_.assign(last + std::size_t{2}, 0);
    // Room for a few warps per sector; longer lists grow the table.
    table->moves_.reserve(std::size_t{4} * last);
  }
  for (std::uint32_t s = 1; s <= last; ++s) {
    outward.first_[s] = static_cast<std::uint32_t>(outward.moves_.size());
    inward.first_[s] = static_cast<std::uint32_t>(inward.moves_.size());
    const std::optional<WarpList>& warps = universe[static_cast<std::uint16_t>(s)].warps;
    if (!warps) continue;
    const std::size_t count = std::min(warps->targets.size(), warps->kinds.size());
    const std::uint16_t* targets = warps->targets.data();
    const std::uint32_t* kinds = warps->kinds.data();
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint32_t kind = kinds[i];
      const std::uint16_t target = targets[i];
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

  // The frontier lists hold at most n sectors each: a sector joins a list only
  // on the pass that takes its count from 255.
  // Left uninitialised: every entry is written before it is read.
  std::unique_ptr<std::uint16_t[]> currentList(new std::uint16_t[n_ + std::size_t{1}]);
  std::unique_ptr<std::uint16_t[]> nextList(new std::uint16_t[n_ + std::size_t{1}]);
  std::uint16_t* current = currentList.get();
  std::uint16_t* next = nextList.get();
  std::size_t currentSize = 0;
  std::size_t nextHeld = 0;
  std::uint8_t* const table = hops.data();
  const std::uint32_t* const first = first_.data();
  const std::uint16_t* const moves = moves_.data();
  for (std::uint32_t level = startLevel; level < kDeepestHops; ++level) {
    const auto reached = static_cast<std::uint8_t>(level + 1);
    std::uint16_t* const out = next;
    std::size_t nextSize = 0;
    // Whether a target is new is a coin toss for the branch predictor, so the
    // target is always stored and the list grows only when its count was 255.
    auto expand = [&](std::uint16_t t) {
      for (std::uint32_t i = first[t], end = first[t + 1u]; i < end; ++i) {
        const std::uint16_t target = moves[i];
        const std::uint32_t old = table[target];
        const std::uint32_t fresh = (old + 1u) >> 8;  // 1 when old is 255
        const std::uint32_t mask = 0u - fresh;
        table[target] = static_cast<std::uint8_t>((old & ~mask) | (reached & mask));
        out[nextSize] = target;
        nextSize += fresh;
      }
    };
    // A held sector's count never changes: only sectors holding 255 are written.
    for (; nextHeld < held.size() && table[held[nextHeld]] == level; ++nextHeld) {
      expand(held[nextHeld]);
    }
    for (std::size_t j = 0; j < currentSize; ++j) expand(current[j]);
    if (nextSize == 0) break;
    std::swap(current, next);
    currentSize = nextSize;
  }
}

HopColumns::HopColumns(const Universe& universe, std::size_t firstSlot, std::size_t endSlot)
    : n_(universe.size()),
      firstSlot_(firstSlot),
      to_(endSlot > firstSlot ? endSlot - firstSlot : 0,
          std::vector<std::uint8_t>(n_ + std::size_t{1}, kNoRoute)),
      from_(to_) {
  // One pass over the Sectors with each table's bytes reached once per Sector.
  const std::size_t columns = to_.size();
  for (std::uint32_t s = 1; s <= n_; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    const std::uint8_t* to = sector.hopsTo.data() + firstSlot_;
    const std::uint8_t* from = sector.hopsFrom.data() + firstSlot_;
    for (std::size_t i = 0; i < columns; ++i) {
      to_[i][s] = to[i];
      from_[i][s] = from[i];
    }
  }
}

void HopColumns::Store(Universe& universe) const {
  const std::size_t columns = to_.size();
  for (std::uint32_t s = 1; s <= n_; ++s) {
    Sector& sector = universe[static_cast<std::uint16_t>(s)];
    std::uint8_t* to = sector.hopsTo.data() + firstSlot_;
    std::uint8_t* from = sector.hopsFrom.data() + firstSlot_;
    for (std::size_t i = 0; i < columns; ++i) {
      to[i] = to_[i][s];
      from[i] = from_[i][s];
    }
  }
}
