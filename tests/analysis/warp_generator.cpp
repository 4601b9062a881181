#include "tests/analysis/warp_generator.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

Universe GenerateUniverse(std::uint32_t seed, const GeneratedShape& shape) {
  std::mt19937 rng(seed);
  auto chance = [&](int percent) {
    return static_cast<int>(rng() % 100) < percent;
  };
  auto pick = [&](std::size_t size) { return static_cast<std::size_t>(rng() % size); };
  const std::uint16_t n = shape.n;
  Universe u(n, 5);

  std::vector<std::uint16_t> order(n);
  std::iota(order.begin(), order.end(), std::uint16_t{1});
  std::shuffle(order.begin(), order.end(), rng);
  const std::size_t core = std::max<std::size_t>(1, order.size() * shape.corePercent / 100);

  std::vector<std::vector<std::uint16_t>> listed(static_cast<std::size_t>(n) + 1);
  auto join = [&](std::uint16_t a, std::uint16_t b) {
    listed[a].push_back(b);
    listed[b].push_back(a);
  };
  for (std::size_t i = 1; i < core && i < order.size(); ++i) {
    join(order[i], order[i - 1]);
    for (int k = 0; k < 2; ++k) join(order[i], order[pick(i)]);
  }
  for (std::size_t i = core; i < order.size(); ++i) {
    const std::uint16_t parent = chance(shape.chainPercent) ? order[i - 1] : order[pick(i)];
    join(order[i], parent);
  }
  for (std::uint16_t s : order) {
    if (chance(shape.oneWayPercent)) listed[s].push_back(order[pick(order.size())]);
    if (chance(shape.strayPercent)) {
      listed[s].push_back(chance(50) ? std::uint16_t{0}
                                     : static_cast<std::uint16_t>(n + 1 + rng() % (65535 - n)));
    }
    if (chance(shape.oddPercent)) listed[s].push_back(s);
    if (chance(shape.oddPercent) && !listed[s].empty()) listed[s].push_back(listed[s][0]);
  }

  for (std::uint32_t s = 1; s <= n; ++s) {
    Sector& sector = u[static_cast<std::uint16_t>(s)];
    std::vector<std::uint16_t>& targets = listed[s];
    std::sort(targets.begin(), targets.end());
    if (targets.size() > 20) targets.resize(20);
    const bool unexplored = chance(shape.unexploredPercent);
    // Half of the unexplored sectors are still known from the reference copy.
    if (!targets.empty() && !(unexplored && chance(50))) {
      sector.warps = WarpList{targets, std::vector<std::uint32_t>(targets.size(), oneWayOut), 0};
    }
    sector.explored = unexplored ? 0 : 1;
    sector.fig = chance(10) ? 1 : 0;
    if (chance(30)) {
      PortRecord port;
      port.reporting = chance(70) ? 1 : 0;
      port.buying = static_cast<std::uint8_t>(rng() % 8);
      for (int i = 0; i < kProductCount; ++i) {
        port.percent[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rng() % 101);
        port.amount[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(rng() % 6000);
      }
      sector.port = port;
    }
    if (chance(3)) sector.note = "note " + std::to_string(s);
    if (chance(2)) sector.log = "seen";
    if (chance(50)) {
      sector.hopsTo[kMslSlot] = static_cast<std::uint8_t>(rng() % 20);
      sector.hopsFrom[kMslSlot] = static_cast<std::uint8_t>(rng() % 20);
    }
  }
  ReconcileForTest(u);
  return u;
}
