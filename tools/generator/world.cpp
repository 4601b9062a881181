// The world's shape by profile (fed space, the core, bubbles, one-way warps,
// the chain, the star, the wide hubs), the specials and references, the routes
// every capture explores and the player's trips.
#include "tools/generator/world.h"

#include <algorithm>

#include "tools/generator/ports.h"

namespace generator {
namespace {

// Share of listed warps that are one-way, in per mille.
constexpr std::uint32_t kOneWayPermille = 70;

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
// Specials and what each capture explores.

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

}  // namespace

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

}  // namespace generator
