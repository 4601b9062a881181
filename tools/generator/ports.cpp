#include "tools/generator/ports.h"

#include <algorithm>
#include <array>
#include <vector>

namespace generator {
namespace {

// Share of sectors with a port, in per cent.
constexpr std::uint32_t kPortPercent = 29;

std::uint16_t DrawCapacity(Rng& rng) {
  std::uint32_t r = rng.Below(100);
  if (r < 70) return static_cast<std::uint16_t>(rng.Between(800, 3499));
  if (r < 92) return static_cast<std::uint16_t>(rng.Between(3500, 9999));
  return static_cast<std::uint16_t>(rng.Between(10000, 24999));
}

// Buying masks: the six two-and-one classes alike, SSS and BBB rarer.
std::uint8_t DrawClass(Rng& rng) {
  static constexpr std::array<std::uint8_t, 6> kMixed = {3, 5, 6, 4, 2, 1};
  std::uint32_t r = rng.Below(100);
  if (r < 5) return 0;
  if (r < 10) return 7;
  return kMixed[r % 6];
}

std::uint8_t DrawPercent(Rng& rng) {
  std::uint32_t r = rng.Below(100);
  if (r < 40) return 100;
  if (r < 90) return static_cast<std::uint8_t>(rng.Between(30, 99));
  return static_cast<std::uint8_t>(rng.Below(30));
}

std::uint16_t Scale(std::uint32_t value, std::uint32_t percent) {
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(65535, value * percent / 100));
}

}  // namespace

void AssignPorts(World& w, Rng& rng) {
  static constexpr std::array<std::uint32_t, 3> kProductScale = {100, 90, 70};
  std::vector<std::uint16_t> eligible;
  for (std::uint32_t s = 2; s <= w.n; ++s) {
    if (s != w.alpha && s != w.rylos && s != w.stardock) eligible.push_back(static_cast<std::uint16_t>(s));
  }
  Shuffle(eligible, rng);
  std::size_t count = std::min<std::size_t>(eligible.size(), w.n * kPortPercent / 100);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t s = eligible[i];
    Port& p = w.port[s];
    w.hasPort[s] = 1;
    p.buying = DrawClass(rng);
    bool grewBefore = rng.Percent(20);
    std::uint32_t grower = rng.Percent(6) ? rng.Below(3) : 3;
    for (std::size_t k = 0; k < 3; ++k) {
      std::uint16_t capacity = Scale(DrawCapacity(rng), kProductScale[k]);
      for (auto& atTime : p.capacity) atTime[k] = capacity;
      if (grewBefore) p.capacity[0][k] = Scale(capacity, rng.Between(75, 95));
      if (grower == k) p.capacity[2][k] = Scale(capacity, rng.Between(115, 150));
      // Most stock levels stay put between the two captures, so that the map
      // comparison reports mostly real rises of capacity.
      p.percent[0][k] = DrawPercent(rng);
      p.percent[1][k] = DrawPercent(rng);
      p.percent[2][k] = p.percent[1][k];
      if (rng.Percent(15)) p.percent[2][k] = DrawPercent(rng);
    }
  }
}

void AddSpecialPortCandidates(World& w, Rng& rng) {
  std::vector<std::uint16_t> chosen = {w.stardock};
  std::size_t extra = 2 + w.n / 5000;
  for (std::size_t i = 0; i < extra; ++i) {
    std::uint16_t s = PickSector(w.core, rng, [&](std::uint16_t c) {
      bool portless = !w.hasPort[c] || w.port[c].buying == 7;
      return portless && Degree(w, c) < kMaxWarps && c != w.alpha && c != w.rylos &&
             std::find(chosen.begin(), chosen.end(), c) == chosen.end();
    });
    if (s != 0) chosen.push_back(s);
  }
  for (std::uint16_t s : chosen) {
    while (Degree(w, s) < kMaxWarps) {
      std::uint16_t t = PickSector(w.core, rng, [&](std::uint16_t c) {
        return Degree(w, c) < kMaxWarps && Unlinked(w, s, c);
      });
      if (t == 0) break;
      LinkTwoWay(w, s, t);
    }
    std::uint16_t from = PickSector(w.core, rng, [&](std::uint16_t c) {
      return Degree(w, c) < kMaxWarps && Unlinked(w, c, s);
    });
    if (from == 0) continue;
    LinkOneWay(w, from, s);
    w.forced[from] = 1;
    w.forced[s] = 1;
    w.candidates.push_back(s);
  }
}

void ListPorts(World& w, Rng& rng) {
  for (std::size_t k = 0; k < 3; ++k) {
    for (std::uint32_t s = 1; s <= w.n; ++s) {
      bool missing = k > 0 && rng.Percent(3);
      w.portListed[k][s] = w.hasPort[s] && w.explored[k][s] && !missing;
    }
  }
  for (std::uint8_t mask = 0; mask < 8; ++mask) {
    std::array<std::uint32_t, 8> count{};
    for (std::uint32_t s = 1; s <= w.n; ++s) {
      if (w.portListed[1][s]) ++count[w.port[s].buying];
    }
    if (count[mask] > 0) continue;
    std::uint8_t common = static_cast<std::uint8_t>(
        std::max_element(count.begin(), count.end()) - count.begin());
    for (std::uint32_t s = 1; s <= w.n; ++s) {
      bool candidate = std::find(w.candidates.begin(), w.candidates.end(), s) != w.candidates.end();
      if (w.portListed[1][s] && w.port[s].buying == common && !candidate) {
        w.port[s].buying = mask;
        break;
      }
    }
  }
}

}  // namespace generator
