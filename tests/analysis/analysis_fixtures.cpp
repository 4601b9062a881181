#include "tests/analysis/analysis_fixtures.h"

#include <algorithm>

void AddListings(Universe& universe, const std::vector<Listing>& listings) {
  for (const Listing& listing : listings) {
    WarpList list;
    list.targets = listing.targets;
    list.kinds.assign(listing.targets.size(), oneWayOut);
    universe[listing.sector].warps = std::move(list);
  }
}

void ReconcileForTest(Universe& universe) {
  const std::uint16_t n = universe.size();
  for (std::uint32_t s = 1; s <= n; ++s) {
    Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (!sector.warps) continue;
    const std::size_t count = sector.warps->targets.size();
    for (std::size_t j = 0; j < count; ++j) {
      if (sector.warps->kinds[j] != oneWayOut) continue;
      const std::uint16_t t = sector.warps->targets[j];
      if (!universe.Contains(t)) continue;
      Sector& target = universe[t];
      if (!target.warps) {
        WarpList list;
        list.targets = {static_cast<std::uint16_t>(s)};
        list.kinds = {oneWayIn};
        target.warps = std::move(list);
        continue;
      }
      WarpList& back = *target.warps;
      auto match = std::find(back.targets.begin(), back.targets.end(), s);
      if (match != back.targets.end()) {
        back.kinds[static_cast<std::size_t>(match - back.targets.begin())] = twoWay;
        sector.warps->kinds[j] = twoWay;  // a self-listing entry may be the match itself
        continue;
      }
      if (back.targets.size() >= kMaxWarps) continue;
      // Insert before the first larger target, not by sorting: lists keep their order.
      auto at = std::find_if(back.targets.begin(), back.targets.end(),
                        [s](std::uint16_t v) { return v > s; });
      const auto offset = at - back.targets.begin();
      back.targets.insert(at, static_cast<std::uint16_t>(s));
      back.kinds.insert(back.kinds.begin() + offset, oneWayIn);
      ++back.inCount;
    }
  }
}

Universe MakeReconciledUniverse(std::uint16_t n, const Specials& specials,
                                const std::vector<Listing>& listings) {
  Universe universe = CreateUniverse(n, specials.size());
  AddListings(universe, listings);
  ReconcileForTest(universe);
  return universe;
}

Universe LaneUniverse(const Specials& specials) {
  Universe universe = MakeReconciledUniverse(
      20, specials,
      {{1, {2, 11}}, {2, {1}}, {11, {1, 12}}, {12, {11, 13, 19}}, {13, {12, 14}},
       {14, {13, 15, 16}}, {15, {14, 30}}, {16, {14, 17}}, {17, {16, 18}},
       {18, {17, 11, 20}}, {19, {12}}});
  universe[19].fig = 1;
  return universe;
}

namespace {

std::uint16_t RandomSector(std::mt19937& rng, std::uint16_t n) {
  return static_cast<std::uint16_t>(std::uniform_int_distribution<std::uint32_t>(1, n)(rng));
}

bool Chance(std::mt19937& rng, double p) {
  return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p;
}

std::uint16_t RandomTarget(std::mt19937& rng, const RandomShape& shape, std::uint16_t s) {
  const std::uint16_t n = shape.n;
  if (Chance(rng, shape.outOfRange)) {
    std::uint32_t choice = std::uniform_int_distribution<std::uint32_t>(0, 2)(rng);
    if (choice == 0 || n == 65535) return 0;
    if (choice == 1) return static_cast<std::uint16_t>(n + 1);
    return static_cast<std::uint16_t>(
        std::uniform_int_distribution<std::uint32_t>(n + 1u, 65535)(rng));
  }
  if (Chance(rng, shape.near)) {
    const std::int32_t offset = std::uniform_int_distribution<std::int32_t>(-3, 3)(rng);
    const std::int32_t t = std::clamp<std::int32_t>(s + offset, 1, n);
    return static_cast<std::uint16_t>(t);
  }
  return RandomSector(rng, n);
}

void AddEntry(std::vector<std::uint16_t>& targets, std::uint16_t t) {
  if (targets.size() < kMaxWarps) targets.push_back(t);
}

}  // namespace

Universe MakeRandomUniverse(std::mt19937& rng, const RandomShape& shape,
                            const Specials& specials) {
  const std::uint16_t n = shape.n;
  std::vector<std::vector<std::uint16_t>> lists(static_cast<std::size_t>(n) + 1);
  std::vector<bool> explored(static_cast<std::size_t>(n) + 1, false);
  for (std::uint32_t s = 1; s <= n; ++s) explored[s] = Chance(rng, shape.explored);

  // Warps between explored sectors are listed at both ends unless one-way.
  for (std::uint32_t s = 1; s <= n; ++s) {
    if (!explored[s]) continue;
    int warps = std::uniform_int_distribution<int>(1, std::max(1, shape.maxWarps))(rng);
    if (Chance(rng, shape.manyWarps)) warps = std::uniform_int_distribution<int>(100, 260)(rng);
    for (int i = 0; i < warps; ++i) {
      std::uint16_t t = RandomTarget(rng, shape, static_cast<std::uint16_t>(s));
      if (Chance(rng, shape.selfAndTwice)) {
        t = lists[s].empty() || Chance(rng, 0.5) ? static_cast<std::uint16_t>(s) : lists[s].front();
      }
      AddEntry(lists[s], t);
      if (t >= 1 && t <= n && explored[t] && !Chance(rng, shape.oneWay)) {
        AddEntry(lists[t], static_cast<std::uint16_t>(s));
      }
    }
  }
  if (shape.chain > 1) {
    std::vector<std::uint16_t> order(n);
    for (std::uint32_t s = 1; s <= n; ++s) order[s - 1] = static_cast<std::uint16_t>(s);
    if (!shape.chainInOrder) std::shuffle(order.begin(), order.end(), rng);
    const std::uint32_t length = std::min<std::uint32_t>(shape.chain, n);
    for (std::uint32_t i = 0; i + 1 < length; ++i) {
      AddEntry(lists[order[i]], order[i + 1]);
      if (!shape.chainOneWay) AddEntry(lists[order[i + 1]], order[i]);
    }
  }

  Universe universe = CreateUniverse(n, specials.size());
  for (std::uint32_t s = 1; s <= n; ++s) {
    Sector& sector = universe[static_cast<std::uint16_t>(s)];
    sector.fig = Chance(rng, shape.figs) ? 1 : 0;
    if (lists[s].empty()) continue;
    std::sort(lists[s].begin(), lists[s].end());
    // Captures list in ascending order; now and then keep a shuffled list too.
    if (Chance(rng, 0.1)) std::shuffle(lists[s].begin(), lists[s].end(), rng);
    WarpList list;
    list.targets = lists[s];
    list.kinds.assign(lists[s].size(), oneWayOut);
    if (!shape.reconcile) {
      for (std::uint32_t& kind : list.kinds) kind = std::uniform_int_distribution<std::uint32_t>(0, 2)(rng);
    }
    sector.warps = std::move(list);
  }
  if (shape.reconcile) ReconcileForTest(universe);

  if (shape.presetHops > 0) {
    for (std::uint32_t s = 1; s <= n; ++s) {
      Sector& sector = universe[static_cast<std::uint16_t>(s)];
      for (std::size_t k = 0; k < specials.size(); ++k) {
        if (Chance(rng, shape.presetHops)) {
          sector.hopsTo[k] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng));
        }
        if (Chance(rng, shape.presetHops)) {
          sector.hopsFrom[k] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng));
        }
      }
    }
  }
  return universe;
}

Specials MakeRandomSpecials(std::mt19937& rng, std::uint16_t n) {
  Specials specials = {0, 1};
  std::uint16_t previous = 1;
  for (int slot = 0; slot < 3; ++slot) {
    std::uint16_t s = RandomSector(rng, n);
    if (Chance(rng, 0.08)) s = 0;
    if (Chance(rng, 0.08)) s = previous;
    specials.push_back(s);
    if (s != 0) previous = s;
  }
  const int references = std::uniform_int_distribution<int>(0, 3)(rng);
  for (int i = 0; i < references; ++i) {
    // Now and then a reference sector that is also terra or another special.
    const std::uint16_t other = specials[static_cast<std::size_t>(1 + i)];
    specials.push_back(Chance(rng, 0.2) ? (other != 0 ? other : previous) : RandomSector(rng, n));
  }
  return specials;
}
