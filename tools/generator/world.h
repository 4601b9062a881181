// The generator's true universe and what the player knows of it at each
// capture: the random sequence it is drawn from, the record of the world and the
// helpers that link and pick its sectors. world.cpp builds it; ports.cpp gives it
// its ports; files.cpp and hostile.cpp write it out.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "tools/game_generator.h"

namespace generator {

constexpr std::uint16_t kTerra = 1;
constexpr std::uint16_t kLastFed = 10;
// Listed warps of an ordinary sector; wide hubs and the star's gate go beyond.
constexpr std::size_t kMaxWarps = 6;

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
inline Rng FileRng(std::uint64_t seed, std::uint64_t tag) {
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

inline bool Lists(const World& w, std::uint16_t from, std::uint16_t to) {
  const auto& list = w.warps[from];
  return std::find(list.begin(), list.end(), to) != list.end();
}

inline std::size_t Degree(const World& w, std::uint16_t s) { return w.warps[s].size(); }

inline bool Unlinked(const World& w, std::uint16_t a, std::uint16_t b) {
  return a != b && !Lists(w, a, b) && !Lists(w, b, a);
}

inline void LinkTwoWay(World& w, std::uint16_t a, std::uint16_t b) {
  w.warps[a].push_back(b);
  w.warps[b].push_back(a);
  w.listed += 2;
}

inline void LinkOneWay(World& w, std::uint16_t from, std::uint16_t to) {
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

// The whole world for `options`: its shape by profile, the specials and the
// distance references, the ports, and which sectors and ports each capture
// shows. Draws from the sequence of options.seed alone.
World BuildWorld(const GameOptions& options);

}  // namespace generator
