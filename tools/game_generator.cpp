#include "tools/game_generator.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

constexpr std::uint16_t kTerra = 1;
constexpr std::uint16_t kLastFed = 10;
// Listed warps of an ordinary sector; wide hubs and the star's gate go beyond.
constexpr std::size_t kMaxWarps = 6;
// Share of listed warps that are one-way, in per mille.
constexpr std::uint32_t kOneWayPermille = 70;
// Share of sectors with a port, in per cent.
constexpr std::uint32_t kPortPercent = 29;

// splitmix64. Draw at most once per statement: the order in which a compiler
// evaluates the operands of one expression is unspecified, and two draws in one
// expression would give different games with different compilers.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // A number in [0, bound); 0 when bound is 0.
  std::uint32_t Below(std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::uint32_t>(Next() % bound);
  }
  std::uint32_t Between(std::uint32_t low, std::uint32_t high) {
    return low + Below(high - low + 1);
  }
  bool Percent(std::uint32_t chance) { return Below(100) < chance; }

 private:
  std::uint64_t state_;
};

// Every file draws from its own sequence, so the second capture alone comes out
// as it does beside the first.
Rng FileRng(std::uint64_t seed, std::uint64_t tag) {
  return Rng(seed ^ (tag * 0xd1b54a32d192ed03ULL));
}

template <typename T>
void Shuffle(std::vector<T>& items, Rng& rng) {
  for (std::size_t i = items.size(); i > 1; --i) {
    std::size_t j = rng.Below(i);
    std::swap(items[i - 1], items[j]);
  }
}

// A port at the three times the game is seen (when the reference copy was
// written, at the first capture, at the second), per product (ore, org, equ).
struct Port {
  std::uint8_t buying = 0;
  std::array<std::array<std::uint16_t, 3>, 3> capacity{};
  std::array<std::array<std::uint8_t, 3>, 3> percent{};
};

// The true universe and what the player knows of it at each capture.
struct World {
  explicit World(std::uint32_t sectors)
      : n(sectors),
        warps(sectors + 1),
        hasPort(sectors + 1, 0),
        port(sectors + 1),
        forced(sectors + 1, 0) {
    for (auto& e : explored) e.assign(sectors + 1, 0);
    for (auto& l : portListed) l.assign(sectors + 1, 0);
  }

  std::uint32_t n;
  std::vector<std::vector<std::uint16_t>> warps;  // listed warps, ascending at the end
  std::vector<std::uint8_t> hasPort;
  std::vector<Port> port;
  std::vector<std::uint8_t> forced;  // explored by every capture from the first on
  std::vector<std::uint16_t> core;
  std::vector<std::uint16_t> deepBubble;  // the deepest chain bubble, gate side first
  std::vector<std::uint16_t> starLeaves;
  std::vector<std::uint16_t> candidates;  // special port candidates
  std::uint16_t alpha = 0;
  std::uint16_t rylos = 0;
  std::uint16_t stardock = 0;
  std::vector<std::uint16_t> references;  // the /d: sectors
  std::array<std::vector<std::uint8_t>, 3> explored;  // earlier, first, second capture
  std::array<std::vector<std::uint8_t>, 3> portListed;
  std::uint32_t listed = 0;
  std::uint32_t oneWay = 0;
};

bool Lists(const World& w, std::uint16_t from, std::uint16_t to) {
  const auto& list = w.warps[from];
  return std::find(list.begin(), list.end(), to) != list.end();
}

std::size_t Degree(const World& w, std::uint16_t s) { return w.warps[s].size(); }

bool Unlinked(const World& w, std::uint16_t a, std::uint16_t b) {
  return a != b && !Lists(w, a, b) && !Lists(w, b, a);
}

void LinkTwoWay(World& w, std::uint16_t a, std::uint16_t b) {
  w.warps[a].push_back(b);
  w.warps[b].push_back(a);
  w.listed += 2;
}

void LinkOneWay(World& w, std::uint16_t from, std::uint16_t to) {
  w.warps[from].push_back(to);
  ++w.listed;
  ++w.oneWay;
}

// A random sector among the first `size` of `pool` for which `ok` holds: a few
// random draws, then a scan from a random start, so a crowded pool still yields
// one. 0 when none qualifies.
template <typename Ok>
std::uint16_t PickSector(const std::vector<std::uint16_t>& pool, std::size_t size, Rng& rng,
                         Ok ok) {
  if (size == 0) return 0;
  for (int attempt = 0; attempt < 24; ++attempt) {
    std::uint16_t s = pool[rng.Below(size)];
    if (ok(s)) return s;
  }
  std::size_t start = rng.Below(size);
  for (std::size_t i = 0; i < size; ++i) {
    std::uint16_t s = pool[(start + i) % size];
    if (ok(s)) return s;
  }
  return 0;
}

template <typename Ok>
std::uint16_t PickSector(const std::vector<std::uint16_t>& pool, Rng& rng, Ok ok) {
  return PickSector(pool, pool.size(), rng, ok);
}

// ---------------------------------------------------------------------------
// The universe's shape.

// Terra lists 2 to 7; sectors 2 to 10 form a ring with chords.
void BuildFedSpace(World& w, Rng& rng) {
  for (std::uint16_t t = 2; t <= 7; ++t) LinkTwoWay(w, kTerra, t);
  for (std::uint16_t s = 2; s < kLastFed; ++s) LinkTwoWay(w, s, static_cast<std::uint16_t>(s + 1));
  LinkTwoWay(w, kLastFed, 2);
  const std::vector<std::uint16_t> fed = {2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (std::uint16_t s : fed) {
    while (Degree(w, s) < 4) {
      std::uint16_t t = PickSector(fed, rng, [&](std::uint16_t c) {
        return Unlinked(w, s, c) && Degree(w, c) < 5;
      });
      if (t == 0) break;
      LinkTwoWay(w, s, t);
    }
  }
}

std::size_t DrawDegree(Rng& rng) {
  std::uint32_t r = rng.Below(100);
  if (r < 18) return 2;
  if (r < 48) return 3;
  if (r < 76) return 4;
  if (r < 90) return 5;
  return 6;
}

// A random tree over `members` hung on fed space, then extra warps up to each
// sector's drawn degree: connected, two to six warps each, few hops across.
void BuildCore(World& w, Rng& rng, const std::vector<std::uint16_t>& members) {
  w.core.insert(w.core.end(), members.begin(), members.end());
  for (std::size_t i = 0; i < members.size(); ++i) {
    std::uint16_t parent = kLastFed;
    if (i > 0) {
      parent = PickSector(members, i, rng,
                          [&](std::uint16_t p) { return Degree(w, p) < kMaxWarps; });
      if (parent == 0) parent = members[i - 1];
    }
    LinkTwoWay(w, members[i], parent);
  }
  for (std::uint16_t f : {std::uint16_t{8}, std::uint16_t{9}, std::uint16_t{4}}) {
    if (Degree(w, f) >= kMaxWarps) continue;
    std::uint16_t c = PickSector(members, rng, [&](std::uint16_t s) {
      return Degree(w, s) < kMaxWarps && Unlinked(w, f, s);
    });
    if (c != 0) LinkTwoWay(w, f, c);
  }
  // Both ends must still be below their drawn degree, or every sector would
  // fill up to the limit.
  std::vector<std::size_t> target(w.n + 1, 0);
  for (std::uint16_t s : members) target[s] = DrawDegree(rng);
  for (std::uint16_t s : members) {
    while (Degree(w, s) < target[s]) {
      std::uint16_t t = PickSector(members, rng, [&](std::uint16_t c) {
        return Degree(w, c) < target[c] && Unlinked(w, s, c);
      });
      if (t == 0) break;
      LinkTwoWay(w, s, t);
    }
  }
}

std::uint16_t PickGate(World& w, Rng& rng) {
  std::uint16_t gate =
      PickSector(w.core, rng, [&](std::uint16_t s) { return Degree(w, s) < kMaxWarps; });
  return gate != 0 ? gate : w.core[rng.Below(w.core.size())];
}

// Links the members of one bubble among themselves; members[0] is the root that
// the gate sees.
void ShapeBubble(World& w, Rng& rng, const std::vector<std::uint16_t>& members, int shape) {
  auto hasRoom = [&](std::uint16_t s) { return Degree(w, s) < kMaxWarps; };
  if (shape == 1) {  // chain
    for (std::size_t i = 1; i < members.size(); ++i) LinkTwoWay(w, members[i - 1], members[i]);
  } else if (shape == 2) {  // branched tree: pockets within pockets
    for (std::size_t i = 1; i < members.size(); ++i) {
      std::uint16_t parent = PickSector(members, i, rng, hasRoom);
      LinkTwoWay(w, members[i], parent != 0 ? parent : members[i - 1]);
    }
  } else if (shape == 3) {  // a loop that peeling cannot open, with dead ends on it
    std::size_t loop = std::min<std::size_t>(members.size(), 3 + rng.Below(2));
    for (std::size_t i = 1; i < loop; ++i) LinkTwoWay(w, members[i - 1], members[i]);
    if (loop >= 3) LinkTwoWay(w, members[loop - 1], members[0]);
    for (std::size_t i = loop; i < members.size(); ++i) {
      std::uint16_t on = PickSector(members, loop, rng, hasRoom);
      LinkTwoWay(w, members[i], on != 0 ? on : members[0]);
    }
  }
}

// Dead ends, chains, branched trees and loops hung on core gates until `pool`
// is used up; the first is a chain of `deepLength`. Some are entered or left by
// a one-way warp.
void AttachBubbles(World& w, Rng& rng, const std::vector<std::uint16_t>& pool,
                   std::size_t deepLength) {
  std::size_t next = 0;
  while (next < pool.size()) {
    std::size_t remaining = pool.size() - next;
    std::size_t size = 1;
    int shape = 0;
    if (next == 0) {
      size = deepLength;
      shape = 1;
    } else {
      std::uint32_t r = rng.Below(100);
      if (r < 50) {
        size = 1;
      } else if (r < 70) {
        shape = 1;
        size = rng.Between(2, 8);
      } else if (r < 95) {
        shape = 2;
        size = rng.Between(3, 25);
      } else {
        shape = 3;
        size = rng.Between(4, 8);
      }
    }
    size = std::min(size, remaining);
    std::vector<std::uint16_t> members(pool.begin() + static_cast<std::ptrdiff_t>(next),
                                       pool.begin() + static_cast<std::ptrdiff_t>(next + size));
    next += size;
    if (w.deepBubble.empty()) w.deepBubble = members;
    LinkTwoWay(w, PickGate(w, rng), members[0]);
    ShapeBubble(w, rng, members, shape);
    if (rng.Percent(15)) {  // compromised by a one-way warp in
      std::uint16_t inside = members[rng.Below(members.size())];
      std::uint16_t from = PickSector(w.core, rng, [&](std::uint16_t s) {
        return Degree(w, s) < kMaxWarps && Unlinked(w, s, inside);
      });
      if (from != 0) LinkOneWay(w, from, inside);
    }
    if (rng.Percent(10)) {  // a one-way warp out of the bubble
      std::uint16_t inside = members[rng.Below(members.size())];
      std::uint16_t to = PickSector(w.core, rng, [&](std::uint16_t s) { return Unlinked(w, inside, s); });
      if (to != 0 && Degree(w, inside) < kMaxWarps) LinkOneWay(w, inside, to);
    }
  }
}

// Single one-way warps and short one-way chains between core sectors until the
// one-way share reaches kOneWayPermille.
void AddOneWays(World& w, Rng& rng) {
  auto below = [&] { return w.oneWay * 1000 < kOneWayPermille * w.listed; };
  for (int guard = 0; below() && guard < 100000; ++guard) {
    std::uint16_t from =
        PickSector(w.core, rng, [&](std::uint16_t s) { return Degree(w, s) < kMaxWarps; });
    if (from == 0) return;
    std::uint32_t length = 1;
    if (rng.Percent(20)) length = rng.Between(3, 6);
    for (std::uint32_t k = 0; k < length && below(); ++k) {
      std::uint16_t to = PickSector(w.core, rng, [&](std::uint16_t s) { return Unlinked(w, from, s); });
      if (to == 0) break;
      LinkOneWay(w, from, to);
      if (Degree(w, to) >= kMaxWarps) break;
      from = to;
    }
  }
}

// A one-way chain of up to `length` sectors through the core, ignoring the
// warp limit of six: the hostile game's long one-way chains.
void AddOneWayChain(World& w, Rng& rng, std::size_t length) {
  std::uint16_t from = w.core[rng.Below(w.core.size())];
  for (std::size_t k = 1; k < length; ++k) {
    std::uint16_t to = PickSector(w.core, rng, [&](std::uint16_t s) { return Unlinked(w, from, s); });
    if (to == 0) return;
    LinkOneWay(w, from, to);
    from = to;
  }
}

// Every sector outside fed space on one chain, in shuffled order, hung on
// sector 10.
void BuildChain(World& w, const std::vector<std::uint16_t>& members) {
  std::uint16_t previous = kLastFed;
  for (std::uint16_t s : members) {
    w.core.push_back(s);
    LinkTwoWay(w, previous, s);
    previous = s;
  }
}

// One core gate with up to 248 hubs, each hub with its dead ends (some of them
// two deep): thousands of bubbles that all end on the one gate.
void BuildStar(World& w, Rng& rng, const std::vector<std::uint16_t>& members) {
  std::uint16_t gate = w.core[rng.Below(w.core.size())];
  std::size_t hubCount = std::clamp<std::size_t>(members.size() / 8, 1, 248);
  std::vector<std::uint16_t> hubs(members.begin(),
                                  members.begin() + static_cast<std::ptrdiff_t>(hubCount));
  for (std::uint16_t h : hubs) LinkTwoWay(w, gate, h);
  std::vector<std::uint16_t> lastLeaf(hubCount, 0);
  for (std::size_t i = hubCount; i < members.size(); ++i) {
    std::uint16_t leaf = members[i];
    std::size_t hub = (i - hubCount) % hubCount;
    w.starLeaves.push_back(leaf);
    bool deeper = lastLeaf[hub] != 0 && rng.Percent(10);
    LinkTwoWay(w, deeper ? lastLeaf[hub] : hubs[hub], leaf);
    lastLeaf[hub] = deeper ? 0 : leaf;
  }
}

// Hubs listing 240 to 255 two-way warps; the first lists 255 and the second 254,
// and both are entered by a one-way warp too, so reconciliation meets a full list.
void AddWideHubs(World& w, Rng& rng) {
  std::size_t hubCount = std::max<std::size_t>(2, w.n / 400);
  std::size_t room = w.core.size() - 1;
  for (std::size_t i = 0; i < hubCount; ++i) {
    std::uint16_t hub = PickSector(w.core, rng, [&](std::uint16_t s) {
      return Degree(w, s) < kMaxWarps && !w.forced[s];
    });
    if (hub == 0) return;
    w.forced[hub] = 1;
    std::size_t target = i == 0 ? 255 : i == 1 ? 254 : rng.Between(240, 255);
    target = std::min(target, room);
    while (Degree(w, hub) < target) {
      std::uint16_t t = PickSector(w.core, rng, [&](std::uint16_t s) { return Unlinked(w, hub, s); });
      if (t == 0) break;
      LinkTwoWay(w, hub, t);
    }
    if (i < 2) {
      std::uint16_t from = PickSector(w.core, rng, [&](std::uint16_t s) {
        return Degree(w, s) < kMaxWarps && Unlinked(w, s, hub);
      });
      if (from != 0) {
        LinkOneWay(w, from, hub);
        w.forced[from] = 1;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Specials, ports and what each capture explores.

// Fewest hops from terra to every sector over listed warps; -1 for none.
std::vector<int> HopsFromTerra(const World& w) {
  std::vector<int> hops(w.n + 1, -1);
  std::vector<std::uint16_t> queue = {kTerra};
  hops[kTerra] = 0;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (std::uint16_t t : w.warps[queue[i]]) {
      if (hops[t] < 0) {
        hops[t] = hops[queue[i]] + 1;
        queue.push_back(t);
      }
    }
  }
  return hops;
}

// The three specials among the core sectors in the farther half of those at
// most 100 hops from terra; the references by profile.
void PickSpecials(World& w, Rng& rng, GameProfile profile) {
  std::vector<int> hops = HopsFromTerra(w);
  int farthest = 0;
  for (std::uint16_t s : w.core) {
    if (hops[s] > 0 && hops[s] <= 100) farthest = std::max(farthest, hops[s]);
  }
  std::vector<std::uint16_t> far;
  for (std::uint16_t s : w.core) {
    if (hops[s] > 0 && hops[s] <= 100 && hops[s] * 2 >= farthest) far.push_back(s);
  }
  Shuffle(far, rng);
  w.stardock = far[0];
  w.alpha = far[1 % far.size()];
  w.rylos = far[2 % far.size()];
  auto isSpecial = [&](std::uint16_t s) { return s == w.alpha || s == w.rylos || s == w.stardock; };
  if (profile == GameProfile::chain) {
    // Far along the chain: one reference about 150 hops out, one at the last
    // hop count the program can hold (254).
    int maxHops = 0;
    for (std::uint16_t s : w.core) maxHops = std::max(maxHops, hops[s]);
    for (int wanted : {std::min(150, maxHops), std::min(254, maxHops)}) {
      for (std::uint16_t s : w.core) {
        if (hops[s] == wanted) w.references.push_back(s);
      }
    }
    return;
  }
  std::uint16_t ordinary = PickSector(w.core, rng, [&](std::uint16_t s) { return !isSpecial(s); });
  w.references.push_back(ordinary);
  if (profile == GameProfile::star && !w.starLeaves.empty()) {
    w.references.push_back(w.starLeaves[rng.Below(w.starLeaves.size())]);
  } else if (!w.deepBubble.empty()) {
    w.references.push_back(w.deepBubble.back());
  }
  std::uint16_t another = PickSector(w.core, rng, [&](std::uint16_t s) {
    return !isSpecial(s) && s != ordinary;
  });
  w.references.push_back(another);
}

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

// Ports in kPortPercent of the sectors 2..n; alpha centauri, rylos and stardock
// keep the ports that no port capture lists.
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

// Sectors with six warps and a one-way warp in, showing no port (or BBB): the
// stardock and a few others that the special port report lists.
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

// Marks the shortest routes terra -> target and target -> terra as explored by
// every capture, so that the specials and references are reachable both ways
// in what the player has seen.
void ForceRoutes(World& w, const std::vector<std::uint16_t>& targets) {
  std::vector<std::uint16_t> parent(w.n + 1, 0);
  std::vector<std::uint16_t> queue = {kTerra};
  parent[kTerra] = kTerra;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (std::uint16_t t : w.warps[queue[i]]) {
      if (parent[t] == 0) {
        parent[t] = queue[i];
        queue.push_back(t);
      }
    }
  }
  std::vector<std::vector<std::uint16_t>> into(w.n + 1);
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    for (std::uint16_t t : w.warps[s]) into[t].push_back(static_cast<std::uint16_t>(s));
  }
  std::vector<std::uint16_t> nextHop(w.n + 1, 0);
  queue = {kTerra};
  nextHop[kTerra] = kTerra;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (std::uint16_t s : into[queue[i]]) {
      if (nextHop[s] == 0) {
        nextHop[s] = queue[i];
        queue.push_back(s);
      }
    }
  }
  for (std::uint16_t target : targets) {
    for (std::uint16_t s = target; parent[s] != 0 && s != kTerra; s = parent[s]) w.forced[s] = 1;
    for (std::uint16_t s = target; nextHop[s] != 0 && s != kTerra; s = nextHop[s]) w.forced[s] = 1;
  }
  w.forced[kTerra] = 1;
}

// The player's trips: sectors in the order a random walk of the frontier from
// terra reaches them. Each capture explores a prefix of it (plus the forced
// routes); the first capture misses a few sectors the earlier one had.
void Explore(World& w, Rng& rng, std::array<std::uint32_t, 3> percents) {
  std::vector<std::uint16_t> order;
  std::vector<std::uint8_t> seen(w.n + 1, 0);
  std::vector<std::uint16_t> frontier = {kTerra};
  seen[kTerra] = 1;
  while (!frontier.empty()) {
    std::size_t i = rng.Below(frontier.size());
    std::uint16_t s = frontier[i];
    frontier[i] = frontier.back();
    frontier.pop_back();
    order.push_back(s);
    for (std::uint16_t t : w.warps[s]) {
      if (!seen[t]) {
        seen[t] = 1;
        frontier.push_back(t);
      }
    }
  }
  for (std::size_t k = 0; k < 3; ++k) {
    std::size_t prefix = order.size() * percents[k] / 100;
    for (std::size_t i = 0; i < prefix; ++i) w.explored[k][order[i]] = 1;
    if (k == 0) continue;
    for (std::uint32_t s = 1; s <= w.n; ++s) {
      if (w.forced[s]) w.explored[k][s] = 1;
    }
  }
  for (std::uint32_t s = kLastFed + 1; s <= w.n; ++s) {
    bool drop = w.explored[0][s] && !w.forced[s] && rng.Percent(3);
    if (drop) w.explored[1][s] = 0;
  }
}

// Which ports each capture lists (a few explored ports are missing from each),
// then makes sure the first capture shows all eight classes.
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

World BuildWorld(const GameOptions& options) {
  World w(options.sectorCount);
  Rng rng(options.seed);
  BuildFedSpace(w, rng);
  std::vector<std::uint16_t> outside;
  for (std::uint32_t s = kLastFed + 1; s <= w.n; ++s) outside.push_back(static_cast<std::uint16_t>(s));
  Shuffle(outside, rng);

  std::array<std::uint32_t, 3> percents = {35, 55, 75};
  if (options.profile == GameProfile::chain) {
    BuildChain(w, outside);
    percents = {50, 90, 100};
  } else if (options.profile == GameProfile::star) {
    std::size_t coreSize = std::max<std::size_t>(60, w.n / 20);
    std::vector<std::uint16_t> core(outside.begin(), outside.begin() + static_cast<std::ptrdiff_t>(coreSize));
    std::vector<std::uint16_t> star(outside.begin() + static_cast<std::ptrdiff_t>(coreSize), outside.end());
    BuildCore(w, rng, core);
    BuildStar(w, rng, star);
    AddOneWays(w, rng);
    percents = {40, 85, 100};
  } else {
    std::size_t bubbleSize = outside.size() * 12 / 100;
    std::vector<std::uint16_t> core(outside.begin() + static_cast<std::ptrdiff_t>(bubbleSize), outside.end());
    std::vector<std::uint16_t> bubbles(outside.begin(), outside.begin() + static_cast<std::ptrdiff_t>(bubbleSize));
    BuildCore(w, rng, core);
    AttachBubbles(w, rng, bubbles, std::min<std::size_t>(bubbleSize, 12 + w.n / 1000));
    if (options.profile == GameProfile::hostile) {
      for (int i = 0; i < 3; ++i) AddOneWayChain(w, rng, 10 + 10 * static_cast<std::size_t>(i));
    }
    AddOneWays(w, rng);
  }
  PickSpecials(w, rng, options.profile);
  AssignPorts(w, rng);
  if (options.profile != GameProfile::chain) AddSpecialPortCandidates(w, rng);
  if (options.profile == GameProfile::wide) AddWideHubs(w, rng);
  std::vector<std::uint16_t> targets = {w.alpha, w.rylos, w.stardock};
  targets.insert(targets.end(), w.references.begin(), w.references.end());
  ForceRoutes(w, targets);
  for (auto& list : w.warps) std::sort(list.begin(), list.end());
  Explore(w, rng, percents);
  ListPorts(w, rng);
  return w;
}

// ---------------------------------------------------------------------------
// Files.

void AppendRight(std::string& out, std::int64_t value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += text;
}

std::size_t Digits(std::uint32_t n) { return std::to_string(n).size(); }

void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

std::vector<std::uint16_t> Sectors(const World& w, const std::vector<std::uint8_t>& marks) {
  std::vector<std::uint16_t> list;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (marks[s]) list.push_back(static_cast<std::uint16_t>(s));
  }
  return list;
}

// A capture as the game prints it: five-column sector numbers, warps ascending,
// one-word prompt lines around it.
std::string SectorCapture(const World& w, const std::vector<std::uint8_t>& explored) {
  std::string out;
  std::string line;
  Line(out, ":");
  for (std::uint16_t s : Sectors(w, explored)) {
    line.clear();
    AppendRight(line, s, 5);
    for (std::uint16_t t : w.warps[s]) {
      line += ' ';
      AppendRight(line, t, 5);
    }
    Line(out, line);
  }
  Line(out, ":");
  return out;
}

// One port line: the sector right-aligned to `width`, then per product " -" for
// buying or two blanks, the amount in 5 and the percentage in 3 columns.
void AppendPortLine(std::string& line, std::uint16_t s, std::size_t width, std::uint8_t buying,
                    const std::array<std::uint32_t, 3>& amount,
                    const std::array<std::uint32_t, 3>& percent) {
  AppendRight(line, s, width);
  for (std::size_t k = 0; k < 3; ++k) {
    line += (buying >> k) & 1 ? " -" : "  ";
    AppendRight(line, amount[k], 5);
    line += ' ';
    AppendRight(line, percent[k], 3);
    line += '%';
  }
}

// Amounts and percentages of one port as capture `k` sees them.
void PortState(const Port& p, std::size_t k, std::array<std::uint32_t, 3>& amount,
               std::array<std::uint32_t, 3>& percent) {
  for (std::size_t i = 0; i < 3; ++i) {
    percent[i] = p.percent[k][i];
    amount[i] = std::uint32_t{p.capacity[k][i]} * percent[i] / 100;
  }
}

std::string PortCapture(const World& w, std::size_t k) {
  std::string out;
  std::string line;
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  Line(out, ":");
  for (std::uint16_t s : Sectors(w, w.portListed[k])) {
    PortState(w.port[s], k, amount, percent);
    line.clear();
    AppendPortLine(line, s, 5, w.port[s].buying, amount, percent);
    Line(out, line);
  }
  Line(out, ":");
  return out;
}

// The sector reference copy an earlier run wrote: its explored sectors with
// their lists, and the sectors they lead to as lines of their number alone.
std::string ReferenceSectors(const World& w) {
  const std::size_t width = Digits(w.n);
  std::vector<std::uint8_t> referenced(w.n + 1, 0);
  for (std::uint16_t s : Sectors(w, w.explored[0])) {
    for (std::uint16_t t : w.warps[s]) referenced[t] = 1;
  }
  std::string out;
  std::string line;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (!w.explored[0][s] && !referenced[s]) continue;
    line.clear();
    AppendRight(line, s, width);
    if (w.explored[0][s]) {
      for (std::uint16_t t : w.warps[s]) {
        line += ' ';
        AppendRight(line, t, width);
      }
    }
    Line(out, line);
  }
  return out;
}

// The port reference copy an earlier run wrote: the ports it saw reporting as
// read, the ones it knew only from its own reference copy estimated at 100 %.
std::string ReferencePorts(const World& w, Rng& rng) {
  const std::size_t width = Digits(w.n);
  std::string out;
  std::string line;
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  for (std::uint16_t s : Sectors(w, w.portListed[0])) {
    PortState(w.port[s], 0, amount, percent);
    if (rng.Percent(30)) {
      for (std::size_t i = 0; i < 3; ++i) {
        if (percent[i] >= 100) continue;
        if (amount[i] > 0) {
          amount[i] = amount[i] * 100 / (percent[i] + 1);
          percent[i] = 100;
        } else {
          percent[i] = 0;
        }
      }
    }
    line.clear();
    AppendPortLine(line, s, width, w.port[s].buying, amount, percent);
    Line(out, line);
  }
  return out;
}

// Figs next to fed space, along the forced routes and in a few explored sectors.
std::vector<std::uint16_t> FigSectors(const World& w, Rng& rng) {
  std::vector<std::uint8_t> fig(w.n + 1, 0);
  for (std::uint16_t f = kTerra; f <= kLastFed; ++f) {
    for (std::uint16_t t : w.warps[f]) {
      if (t > kLastFed && rng.Percent(60)) fig[t] = 1;
    }
  }
  for (std::uint32_t s = kLastFed + 1; s <= w.n; ++s) {
    bool wanted = w.forced[s] ? rng.Percent(40) : w.explored[1][s] && rng.Percent(3);
    if (wanted) fig[s] = 1;
  }
  return Sectors(w, fig);
}

std::string FigFile(const World& w, Rng& rng) {
  std::string out;
  for (std::uint16_t s : FigSectors(w, rng)) Line(out, std::to_string(s));
  return out;
}

constexpr std::array<std::string_view, 10> kLogTexts = {
    "port destroyed",      "mines here",          "hostile fighters, 300", "planet here",
    "good trade route",    "pirates seen",        "ship lost here",        "traded out, come back later",
    "beacon: keep out",    "cheap fuel"};

std::uint16_t RandomExplored(const World& w, Rng& rng) {
  for (;;) {
    std::uint16_t s = static_cast<std::uint16_t>(rng.Between(1, w.n));
    if (w.explored[1][s]) return s;
  }
}

std::string LogFile(const World& w, Rng& rng) {
  std::string out;
  Line(out, "; trip log");
  std::size_t count = std::max<std::size_t>(12, w.n / 50);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t s = RandomExplored(w, rng);
    std::string_view text = kLogTexts[rng.Below(kLogTexts.size())];
    std::string line = std::to_string(s) + ": ";
    if (i % 7 == 3) {
      line += "IGNORE ";
    } else if (i % 7 == 6) {
      line += "autopilot note (IGNORE) ";
    }
    Line(out, line.append(text));
  }
  return out;
}

std::string NotesFile(const World& w, Rng& rng) {
  std::string out;
  Line(out, "; my notes: one line per sector, \"sector: text\"");
  if (!w.deepBubble.empty()) {
    Line(out, std::to_string(w.deepBubble.front()) + ": root of a deep bubble");
    Line(out, std::to_string(w.deepBubble.back()) + ": dead end, watch out");
  }
  if (!w.candidates.empty()) Line(out, std::to_string(w.candidates.back()) + ": lots of warps, no port");
  Line(out, std::to_string(w.references.front()) + ": home base");
  constexpr std::array<std::string_view, 5> kNotes = {"good pair next door", "mined", "safe spot",
                                                      "fuel stop", "trap: one-way in"};
  std::size_t count = std::max<std::size_t>(4, w.n / 200);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t s = RandomExplored(w, rng);
    Line(out, std::to_string(s) + ": " + std::string(kNotes[rng.Below(kNotes.size())]));
  }
  // A label an earlier run wrote for a reference that is no longer given.
  std::uint16_t stale = RandomExplored(w, rng);
  Line(out, std::to_string(stale) + ": distance reference #4");
  Line(out, "--- end of notes ---");
  return out;
}

// Fewest-hop path from `from` to `to` over the true universe; empty if none.
std::vector<std::uint16_t> Path(const World& w, std::uint16_t from, std::uint16_t to) {
  std::vector<std::uint16_t> parent(w.n + 1, 0);
  std::vector<std::uint16_t> queue = {from};
  parent[from] = from;
  for (std::size_t i = 0; i < queue.size() && parent[to] == 0; ++i) {
    for (std::uint16_t t : w.warps[queue[i]]) {
      if (parent[t] == 0) {
        parent[t] = queue[i];
        queue.push_back(t);
      }
    }
  }
  std::vector<std::uint16_t> path;
  if (parent[to] == 0) return path;
  for (std::uint16_t s = to; s != from; s = parent[s]) path.push_back(s);
  path.push_back(from);
  std::reverse(path.begin(), path.end());
  return path;
}

// Route pairs: terra and the specials, then trips from explored sectors to
// unexplored ones, whose warps only the route file tells.
std::vector<std::pair<std::uint16_t, std::uint16_t>> RoutePairs(const World& w, Rng& rng) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> pairs = {
      {kTerra, w.stardock}, {w.stardock, kTerra}, {kTerra, w.alpha}, {w.rylos, kTerra}};
  std::vector<std::uint16_t> unexplored;
  for (std::uint32_t s = 1; s <= w.n; ++s) {
    if (!w.explored[1][s]) unexplored.push_back(static_cast<std::uint16_t>(s));
  }
  std::size_t trips = 3 + w.n / 2000;
  for (std::size_t i = 0; i < trips && !unexplored.empty(); ++i) {
    std::uint16_t from = RandomExplored(w, rng);
    pairs.emplace_back(from, unexplored[rng.Below(unexplored.size())]);
  }
  return pairs;
}

// The path as the game prints it: unexplored sectors in parentheses, lines
// broken after a ">" near 70 characters.
std::vector<std::string> PathLines(const World& w, const std::vector<std::uint16_t>& path) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    std::string word = std::to_string(path[i]);
    if (!w.explored[1][path[i]]) word = "(" + word + ")";
    if (i + 1 < path.size()) word += " >";
    if (!lines.back().empty() && lines.back().size() + word.size() + 1 > 70) lines.emplace_back();
    if (!lines.back().empty()) lines.back() += ' ';
    lines.back() += word;
  }
  return lines;
}

std::string RouteFile(const World& w, Rng& rng) {
  std::string out;
  for (const auto& [from, to] : RoutePairs(w, rng)) {
    std::vector<std::uint16_t> path = Path(w, from, to);
    if (path.size() < 2) continue;
    Line(out, "plot course from " + std::to_string(from) + " to " + std::to_string(to));
    Line(out, "");
    Line(out, "  TO > " + std::to_string(to));
    for (const std::string& line : PathLines(w, path)) Line(out, line);
    Line(out, "");
  }
  return out;
}

std::string CommandLine(const World& w, const GameOptions& options, std::string_view references) {
  std::string line = "korvan2a /g:" + options.gameName + " /n:" + std::to_string(w.n) +
                     " /al:" + std::to_string(w.alpha) + " /ry:" + std::to_string(w.rylos) +
                     " /sd:" + std::to_string(w.stardock) + " /d:";
  line += references;
  line += " /m:" + options.gameName + ".ztm";
  std::string out;
  Line(out, line);
  return out;
}

std::string ReferenceList(const World& w) {
  std::string text;
  for (std::uint16_t s : w.references) {
    if (!text.empty()) text += ';';
    text += std::to_string(s);
  }
  return text;
}

// ---------------------------------------------------------------------------
// The hostile game: the same universe in text that readers must survive.

// Lines with the endings a badly saved capture has: mostly CR LF, some LF.
class HostileText {
 public:
  explicit HostileText(Rng& rng) : rng_(rng) {}
  void Add(std::string_view text) {
    bytes_ += text;
    bytes_ += rng_.Percent(15) ? "\n" : "\r\n";
  }
  void AddRaw(std::string_view text) { bytes_ += text; }
  std::string Take() { return std::move(bytes_); }

 private:
  Rng& rng_;
  std::string bytes_;
};

// Joins words with one blank, or with runs of blanks and tabs at the ends.
std::string Join(const std::vector<std::string>& words, Rng& rng) {
  bool odd = rng.Percent(30);
  std::string line;
  if (rng.Percent(10)) line += "  \t ";
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) line.append(odd ? 1 + rng.Below(4) : 1, ' ');
    line += words[i];
  }
  if (rng.Percent(10)) line += " \t ";
  return line;
}

std::string SectorJunk(const World& w, Rng& rng) {
  static constexpr std::array<std::string_view, 9> kJunk = {
      "", "   \t  ", "Sector", "0 1 2", "65536 3 4", "-7 1 2", "abc 1 2",
      "99999999999999999999 1", "Command ? :"};
  std::uint32_t r = rng.Below(kJunk.size() + 2);
  if (r == kJunk.size()) return std::to_string(w.n + 1) + " 1 2";
  if (r == kJunk.size() + 1) return "65535 " + std::to_string(w.n);
  return std::string(kJunk[r]);
}

// Spoils a non-forced sector's words in one of the ways a reader must survive.
void SpoilSectorWords(std::vector<std::string>& words, const World& w, std::uint16_t s, Rng& rng) {
  static constexpr std::array<std::string_view, 5> kBad = {"12a", "x", "1.5", "--3", "0x1F"};
  if (words.size() < 2) return;
  std::uint32_t r = rng.Below(100);
  std::size_t last = words.size() - 1;
  std::size_t pick = 1 + rng.Below(last);
  if (r < 3 && last >= 2) {
    std::size_t i = 1 + rng.Below(last - 1);
    words[i] += "\t" + words[i + 1];
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(i + 1));
  } else if (r < 6) {
    words[pick] = std::string(kBad[rng.Below(kBad.size())]);
  } else if (r < 9) {
    const std::array<std::string, 5> outOfRange = {"0", std::to_string(w.n + 1), "65535", "65536",
                                                   "-1"};
    words.push_back(outOfRange[rng.Below(outOfRange.size())]);
  } else if (r < 12) {
    words.push_back(words[pick]);  // a duplicate warp
  } else if (r < 14) {
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(pick), std::to_string(s));  // self
  } else if (r < 16) {
    words[0] = rng.Percent(50) ? "+" + words[0] : "00" + words[0];
  } else if (r < 17) {
    words.resize(1);
  }
}

std::string HostileSectorCapture(const World& w, const std::vector<std::uint8_t>& explored,
                                 Rng& rng) {
  std::vector<std::uint16_t> sectors = Sectors(w, explored);
  // The first index from `from` on of `run` sectors in a row that no forced
  // route needs, so that spoiling them keeps the specials reachable.
  auto ordinary = [&](std::size_t from, std::size_t run) {
    for (std::size_t i = from; i + run <= sectors.size(); ++i) {
      bool free = true;
      for (std::size_t k = i; k < i + run; ++k) free = free && !w.forced[sectors[k]];
      if (free) return i;
    }
    return sectors.size();
  };
  const std::size_t wideAt = ordinary(sectors.size() / 3, 1);
  const std::size_t longAt = ordinary(sectors.size() * 2 / 3, 1);
  const std::size_t carriageAt = ordinary(sectors.size() / 2, 3);
  HostileText out(rng);
  out.Add("\t");
  out.Add(":");
  for (std::size_t i = 0; i < sectors.size(); ++i) {
    const std::uint16_t s = sectors[i];
    if (rng.Percent(2)) out.Add(SectorJunk(w, rng));
    std::vector<std::string> words = {std::to_string(s)};
    for (std::uint16_t t : w.warps[s]) words.push_back(std::to_string(t));
    if (!w.forced[s]) SpoilSectorWords(words, w, s, rng);
    std::string line = Join(words, rng);
    if (i >= carriageAt && i < carriageAt + 2) {
      out.AddRaw(line + "\r");  // lines separated by a lone carriage return
    } else {
      out.Add(line);
    }
    if (i == wideAt) {  // a second line for the sector, listing 300 warps
      std::string wide = std::to_string(s);
      for (int k = 0; k < 300; ++k) {
        wide += ' ';
        wide += std::to_string(rng.Between(1, w.n));
      }
      out.Add(wide);
    }
    if (i == longAt) {  // the sector's line again, with 70000 blanks after its number
      std::string longLine = std::to_string(s) + std::string(70000, ' ');
      for (std::uint16_t t : w.warps[s]) longLine += std::to_string(t) + " ";
      out.Add(longLine);
    }
  }
  out.Add("");
  out.AddRaw(":");  // the last line has no line end
  return out.Take();
}

std::string HostilePortCapture(const World& w, std::size_t k, Rng& rng) {
  HostileText out(rng);
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  out.Add(":");
  for (std::uint16_t s : Sectors(w, w.portListed[k])) {
    PortState(w.port[s], k, amount, percent);
    std::uint8_t buying = w.port[s].buying;
    std::vector<std::string> words = {std::to_string(s)};
    std::uint32_t r = rng.Below(100);
    for (std::size_t i = 0; i < 3; ++i) {
      bool buys = (buying >> i) & 1;
      std::string number = std::to_string(amount[i]);
      if (buys && r < 6) {
        words.push_back("-" + number);  // the signed form of a buying product
      } else {
        if (buys) words.push_back("-");
        if (!buys && r >= 20 && r < 22) number = "-0";
        if (r >= 24 && r < 26) number = "+" + number;
        words.push_back(number);
      }
      words.push_back(std::to_string(percent[i]) + "%");
    }
    if (r >= 6 && r < 10) {
      words.push_back("extra");
      words.push_back("words");
    } else if (r >= 10 && r < 13) {
      words.resize(words.size() - 2 - ((buying >> 2) & 1));  // no equipment group
    } else if (r >= 13 && r < 16) {
      words.back().pop_back();  // a percentage without its sign
    } else if (r >= 16 && r < 18) {
      words.back() = "300%";
    } else if (r >= 18 && r < 20) {
      words[words.size() - 2] = "70000";
    } else if (r >= 22 && r < 24) {
      words[1] += "\t" + words[2];
      words.erase(words.begin() + 2);
    } else if (r >= 26 && r < 28) {
      words.back() = "%";
    }
    out.Add(Join(words, rng));
    if (rng.Percent(3)) {
      // Junk and a second, differing line for the same port.
      static constexpr std::array<std::string_view, 5> kJunk = {
          "", "Sector  Class", "0 - 100 100% 200 50% 300 40%", "abc 10 10% 20 20% 30 30%",
          "70000 10 10% 20 20% 30 30%"};
      out.Add(kJunk[rng.Below(kJunk.size())]);
      out.Add(std::to_string(s) + " 100 100% -200 50% 300  40%");
    }
  }
  out.Add(std::to_string(w.n + 1) + " 10 10% 20 20% 30 30%");
  return out.Take();
}

std::string HostileFigFile(const World& w, Rng& rng) {
  HostileText out(rng);
  for (std::uint16_t s : FigSectors(w, rng)) {
    std::string number = std::to_string(s);
    std::uint32_t r = rng.Below(100);
    if (r < 10) {
      out.Add("  " + number);
    } else if (r < 20) {
      out.Add("\t" + number);
    } else if (r < 30) {
      out.Add(number + " ");
    } else if (r < 35) {
      out.Add(number + " 7");
    } else if (r < 40) {
      out.Add("+" + number);
    } else {
      out.Add(number);
    }
    if (rng.Percent(10)) {
      const std::array<std::string, 7> junk = {"abc", "0", "-3", std::to_string(w.n + 1),
                                               "65536", "", number};
      out.Add(junk[rng.Below(junk.size())]);
    }
  }
  return out.Take();
}

std::string HostileLogFile(const World& w, Rng& rng) {
  HostileText out(rng);
  std::string clean = LogFile(w, rng);
  for (std::size_t start = 0; start < clean.size();) {
    std::size_t end = clean.find("\r\n", start);
    out.Add(std::string_view(clean).substr(start, end - start));
    start = end + 2;
  }
  std::string s = std::to_string(RandomExplored(w, rng));
  for (const std::string& line :
       {s + ": IGNORE this", s + ": ignore this", std::string("no colon here"),
        std::string("99999: far away"), std::string("0: nowhere"), ";" + s + ": a comment",
        " ;" + s + ": not a comment", s + ":", s + "::x", std::string("abc: text"),
        s + ":xno blank", s + ": " + std::string(3000, 'z')}) {
    out.Add(line);
  }
  return out.Take();
}

std::string HostileNotesFile(const World& w, Rng& rng) {
  HostileText out(rng);
  std::string clean = NotesFile(w, rng);
  std::size_t stop = clean.find("--- end of notes ---");
  for (std::size_t start = 0; start < stop;) {
    std::size_t end = clean.find("\r\n", start);
    out.Add(std::string_view(clean).substr(start, end - start));
    start = end + 2;
  }
  std::string s = std::to_string(RandomExplored(w, rng));
  std::string t = std::to_string(RandomExplored(w, rng));
  for (const std::string& line :
       {s + ":", t + ":    ", std::string("   "), std::to_string(w.n + 1) + ": beyond the universe",
        ";" + s + ": a comment", std::string("x: y"), s + ": distance reference #2",
        t + "::: colons"}) {
    out.Add(line);
  }
  out.Add("");  // an empty line ends the notes: what follows is not read
  out.Add(s + ": after the empty line");
  out.Add("--- end of notes ---");
  return out.Take();
}

std::string HostileRouteFile(const World& w, Rng& rng) {
  HostileText out(rng);
  out.AddRaw(RouteFile(w, rng));
  std::string a = std::to_string(w.stardock);
  std::string b = std::to_string(w.alpha);
  std::string over = std::to_string(w.n + 1);
  out.Add("to > " + b);  // lower case opens nothing
  out.Add(a + " > " + b);
  out.Add("");
  out.Add("TO > " + b);
  out.Add(a + " > 12x > " + b);  // applied up to the bad word
  out.Add("");
  out.Add("TO > " + over);
  out.Add(a + " > " + over + " > " + b);  // the hops through n + 1 are skipped
  out.Add("TO > " + a);                   // a prompt inside an open route
  out.Add("");
  out.Add("TO > " + a);
  out.Add("");
  out.Add("TO > " + b);
  out.AddRaw(a + " > " + b);  // still open at the end of the file
  return out.Take();
}

}  // namespace

std::optional<GameProfile> ParseGameProfile(std::string_view name) {
  if (name == "realistic") return GameProfile::realistic;
  if (name == "hostile") return GameProfile::hostile;
  if (name == "chain") return GameProfile::chain;
  if (name == "star") return GameProfile::star;
  if (name == "wide") return GameProfile::wide;
  return std::nullopt;
}

std::vector<GameFile> GenerateGame(const GameOptions& options) {
  if (options.sectorCount < kMinGameSectors || options.sectorCount > kMaxGameSectors) {
    throw std::invalid_argument("the sector count must lie in " + std::to_string(kMinGameSectors) +
                                ".." + std::to_string(kMaxGameSectors));
  }
  const std::string& game = options.gameName;
  if (game.empty() || game.find_first_of("/\\:") != std::string::npos) {
    throw std::invalid_argument("the game name must be a plain file name");
  }
  const World w = BuildWorld(options);
  const bool hostile = options.profile == GameProfile::hostile;
  const std::size_t capture = options.secondCapture ? 2 : 1;
  Rng sectorRng = FileRng(options.seed, 10 + capture);
  Rng portRng = FileRng(options.seed, 20 + capture);
  std::vector<GameFile> files;
  files.push_back({game + ".sct", hostile ? HostileSectorCapture(w, w.explored[capture], sectorRng)
                                          : SectorCapture(w, w.explored[capture])});
  files.push_back({game + ".prt", hostile ? HostilePortCapture(w, capture, portRng)
                                          : PortCapture(w, capture)});
  if (options.secondCapture) return files;

  Rng refRng = FileRng(options.seed, 3);
  Rng figRng = FileRng(options.seed, 4);
  Rng logRng = FileRng(options.seed, 5);
  Rng notesRng = FileRng(options.seed, 6);
  Rng routeRng = FileRng(options.seed, 7);
  files.push_back({game + "_ref.sct", ReferenceSectors(w)});
  files.push_back({game + "_ref.prt", ReferencePorts(w, refRng)});
  files.push_back({game + "_figs.txt", hostile ? HostileFigFile(w, figRng) : FigFile(w, figRng)});
  files.push_back({game + "_log.txt", hostile ? HostileLogFile(w, logRng) : LogFile(w, logRng)});
  files.push_back(
      {game + "_notes.txt", hostile ? HostileNotesFile(w, notesRng) : NotesFile(w, notesRng)});
  files.push_back({game + ".ztm", hostile ? HostileRouteFile(w, routeRng) : RouteFile(w, routeRng)});
  std::string references = ReferenceList(w);
  if (hostile) references += ";x;0;" + std::to_string(w.n + 1) + ";;";
  files.push_back({game + ".cmd", CommandLine(w, options, references)});
  return files;
}
