// The Universe: one Sector per sector number with its warps, port, fig flag, hop
// counts to and from the special sectors, bubble mark, note and log text; and the
// specials table whose slots every Sector's hop tables follow.
//
// Sector numbers are unsigned 16-bit; 0 means no sector. Sector s of a universe
// of n sectors is entry s for 1 <= s <= n. A number read from a file is checked
// with Contains() before it indexes the Universe; Lookup() answers for any
// number, giving the "nothing known" sector for numbers outside 1..n.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/memory.h"

// How a reader merges a file into the Universe.
enum class LoadMode : std::uint8_t {
  Replace = 0,  // the file's data replace what a Sector had; the flag value is stored
  Fill = 1,     // the file's data go only where a Sector has nothing yet
};

// Warp kinds, as stored in a WarpList and written to the map file.
enum WarpKind : std::uint32_t {
  oneWayOut = 0,  // listed by this sector; its target does not list a warp back
  twoWay = 1,     // listed by this sector and by its target
  oneWayIn = 2,   // added by reconciliation: the target warps here, not back
};

// Products, always in this order.
enum Product : int { kOre = 0, kOrganics = 1, kEquipment = 2 };
constexpr int kProductCount = 3;

// A sector's warps. `targets` and `kinds` always have the same size, at most 255;
// entry i of each belongs together. A list is never grown in place: whoever adds
// an entry builds a new list one entry longer and replaces the old one.
struct WarpList {
  std::vector<std::uint16_t> targets;
  std::vector<std::uint32_t> kinds;
  std::uint8_t inCount = 0;  // oneWayIn entries added by reconciliation

  std::uint8_t count() const { return static_cast<std::uint8_t>(targets.size()); }
};

constexpr std::size_t kMaxWarps = 255;

// The largest universe (/n:): a larger number is no sector of any universe, and
// the map file's warp encoding relies on it.
constexpr std::uint16_t kMaxUniverseSize = 20000;

struct PortRecord {
  std::uint8_t reporting = 0;  // 1 when listed in the current port capture
  std::uint8_t buying = 0;     // bit 0 ore, bit 1 organics, bit 2 equipment; set = buys
  std::array<std::uint8_t, kProductCount> percent{};
  std::array<std::uint16_t, kProductCount> amount{};
};

struct BubbleRecord {
  std::uint8_t depth = 0;
  std::uint8_t compromised = 0;
  std::uint8_t explored = 0;
  std::uint16_t gate = 0;
};

// A Sector's hop counts, one byte per special slot, indexed like a vector. The
// bytes of up to kInlineSlots slots (the five fixed ones and seven /d: sectors)
// live in the Sector itself, so that a universe of 20000 Sectors takes no
// allocation per Sector; a longer /d: list puts them on the heap, and the inline
// bytes then hold the heap block's address. Sixteen bytes, so that a Sector
// takes exactly three cache lines and its warps, port, bubble and hop tables
// share the first two.
class HopTable {
 public:
  HopTable() = default;
  HopTable(const HopTable& other) { CopyFrom(other); }
  HopTable& operator=(const HopTable& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  HopTable(HopTable&& other) noexcept { TakeFrom(other); }
  HopTable& operator=(HopTable&& other) noexcept {
    if (this != &other) {
      Release();
      TakeFrom(other);
    }
    return *this;
  }
  ~HopTable() { Release(); }

  // `count` entries of `value`.
  void assign(std::size_t count, std::uint8_t value) {
    Resize(count);
    std::fill(begin(), end(), value);
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::uint8_t* data() { return OnHeap() ? Heap() : bytes_; }
  const std::uint8_t* data() const { return OnHeap() ? Heap() : bytes_; }
  std::uint8_t& operator[](std::size_t k) { return data()[k]; }
  std::uint8_t operator[](std::size_t k) const { return data()[k]; }
  std::uint8_t* begin() { return data(); }
  std::uint8_t* end() { return data() + size_; }
  const std::uint8_t* begin() const { return data(); }
  const std::uint8_t* end() const { return data() + size_; }

  friend bool operator==(const HopTable& a, const HopTable& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }
  friend bool operator==(const HopTable& a, const std::vector<std::uint8_t>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

  static constexpr std::size_t kInlineSlots = 12;

 private:
  bool OnHeap() const { return size_ > kInlineSlots; }
  std::uint8_t* Heap() const {
    std::uint8_t* block;
    std::memcpy(&block, bytes_, sizeof block);
    return block;
  }
  void Release() {
    if (OnHeap()) delete[] Heap();
    size_ = 0;
  }
  void Resize(std::size_t count) {
    std::uint8_t* block = count > kInlineSlots ? new std::uint8_t[count] : nullptr;
    Release();
    if (block != nullptr) std::memcpy(bytes_, &block, sizeof block);
    size_ = static_cast<std::uint32_t>(count);
  }
  void CopyFrom(const HopTable& other) {
    Resize(other.size());
    std::copy(other.begin(), other.end(), begin());
  }
  // Takes over other's bytes (and heap block); other is left empty.
  void TakeFrom(HopTable& other) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    size_ = other.size_;
    other.size_ = 0;
  }

  static_assert(kInlineSlots >= sizeof(std::uint8_t*));
  std::uint8_t bytes_[kInlineSlots]{};  // the slots, or the heap block's address
  std::uint32_t size_ = 0;
};

struct Sector {
  std::uint8_t explored = 0;  // listed in the current sector capture
  std::uint8_t fig = 0;       // a fig is deployed here
  std::optional<WarpList> warps;       // none: nothing known of its warps
  std::optional<PortRecord> port;      // none: no port known
  std::optional<BubbleRecord> bubble;  // none: in no bubble
  HopTable hopsTo;                     // per special slot; 255 = no route
  HopTable hopsFrom;                   // per special slot; 255 = no route
  std::string note;
  std::string log;
};

constexpr std::uint8_t kNoRoute = 255;

// Slots of the specials table, as indices into `specials`, `hopsTo` and
// `hopsFrom` (the players' slot k is index k - 1).
constexpr std::size_t kMslSlot = 0;        // the major space lane; belongs to no sector
constexpr std::size_t kTerraSlot = 1;      // always sector 1
constexpr std::size_t kAlphaSlot = 2;      // alpha centauri (/al:)
constexpr std::size_t kRylosSlot = 3;      // rylos (/ry:)
constexpr std::size_t kStardockSlot = 4;   // stardock (/sd:)
constexpr std::size_t kFirstDistanceSlot = 5;  // the /d: reference sectors follow

// The specials table: one sector number per slot, 0 where a slot is not set.
// specialCount is specials.size(), at least 5.
using Specials = std::vector<std::uint16_t>;

class Universe {
 public:
  Universe(std::uint16_t n, std::size_t specialCount);

  std::uint16_t size() const { return n_; }
  std::size_t specialCount() const { return unknown_.hopsTo.size(); }

  // True when s is a sector of this universe, 1..n.
  bool Contains(std::uint32_t s) const { return s >= 1 && s <= n_; }

  // Sector s, for s in 1..n (checked by the caller).
  Sector& operator[](std::uint16_t s) { return sectors_[s]; }
  const Sector& operator[](std::uint16_t s) const { return sectors_[s]; }

  // Sector s for any number: outside 1..n, the sector of which nothing is known
  // (not explored, no fig, no warps, no port, no bubble, every hop entry 255).
  // It is never written to.
  const Sector& Lookup(std::uint32_t s) const { return Contains(s) ? sectors_[s] : unknown_; }

  // The lines of the notes file's notes section that name no note of this
  // universe (comments, lines without a sector number, sectors beyond n), in
  // file order: the player's all the same, written back as they are.
  std::vector<std::string> notesLines;

 private:
  std::uint16_t n_;
  // Entry 0 unused. Megabytes for a full-size universe: one large table.
  std::vector<Sector, TableAllocator<Sector>> sectors_;
  Sector unknown_;
};

// The most slots a specials table holds, so that specialCount fits 16 bits.
constexpr std::size_t kMaxSpecialCount = 65535;

// Builds the specials table from the universe size, the three special sectors
// (0 = not given) and the /d: distance list text: slots msl (0), terra (1),
// alpha centauri, rylos, stardock, then every word of the list that is a sector
// in 1..n, in order, up to kMaxSpecialCount slots. Other words are skipped
// without a message.
Specials BuildSpecials(std::uint16_t n, std::uint16_t alphaCentauri, std::uint16_t rylos,
                       std::uint16_t stardock, std::string_view distanceList);

// The special slots that both the specials table and every Sector's hop
// tables hold.
std::size_t UsableSlots(const Universe& universe, const Specials& specials);

// A Universe of n empty Sectors, with hop tables of specialCount entries of 255.
// It is released when the returned object goes out of scope.
Universe CreateUniverse(std::uint16_t n, std::size_t specialCount);
