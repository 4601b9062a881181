#include "report/port_pairs.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

struct PairRow {
  std::uint8_t a;
  std::uint8_t b;
  const char* heading;  // nullptr: no heading before the row
};

// The twenty class combinations of the report, in report order.
constexpr std::array<PairRow, 20> kPairRows = {{
    {1, 4, "triple pairs:"},
    {2, 5, nullptr},
    {3, 6, nullptr},
    {7, 8, nullptr},
    {1, 2, "double pairs:  org/equ"},
    {4, 5, nullptr},
    {1, 3, "double pairs:  ore/equ"},
    {4, 6, nullptr},
    {2, 3, "double pairs:  ore/org"},
    {5, 6, nullptr},
    {2, 2, "evil pairs:"},
    {2, 3, nullptr},
    {2, 4, nullptr},
    {2, 8, nullptr},
    {3, 3, nullptr},
    {3, 4, nullptr},
    {3, 8, nullptr},
    {4, 4, nullptr},
    {4, 8, nullptr},
    {8, 8, nullptr},
}};

constexpr std::uint16_t kPortThreshold = 3001;
constexpr std::uint8_t kReservePercent = 50;

bool HasPortAndWarps(const Sector& sector) {
  return sector.port.has_value() && sector.warps.has_value();
}

// One port's half of a pair line: fig mark, number, class letters and stock.
void AppendPairPart(std::string& out, const Universe& universe, std::uint16_t s) {
  const Sector& sector = universe.Lookup(s);
  out += sector.fig != 0 ? '+' : ' ';
  AppendLeft(out, s, 6);
  out += DescribePort(s, kPortThreshold, universe);
  out += " (";
  if (sector.explored == 0) {
    out += "???";
  } else if (!sector.port || sector.port->reporting == 0) {
    out += "...";
  } else {
    for (int i = 0; i < kProductCount; ++i) {
      const std::uint8_t percent = sector.port->percent[i];
      // Above 100 the tenth has two digits and is written in full.
      if (percent == 100) {
        out += '*';
      } else {
        AppendRight(out, percent / 10);
      }
    }
  }
  out += ')';
}

// An amount as the pair line shows it, in 4 columns: in full below 10000, else
// the thousands and "k".
void AppendPairAmount(std::string& out, std::uint16_t amount, bool alignRight) {
  char text[8];
  auto end = std::to_chars(text, text + sizeof text, amount < 10000 ? amount : amount / 1000).ptr;
  if (amount >= 10000) *end++ = 'k';
  const auto length = static_cast<std::size_t>(end - text);
  if (alignRight && length < 4) out.append(4 - length, ' ');
  out.append(text, length);
  if (!alignRight && length < 4) out.append(4 - length, ' ');
}

void AppendPortPair(std::string& out, const Universe& universe, std::uint16_t s,
                    std::uint16_t t) {
  AppendPairPart(out, universe, s);
  out += " - ";
  AppendPairPart(out, universe, t);
  const Sector& first = universe.Lookup(s);
  const Sector& second = universe.Lookup(t);
  if (first.port && second.port && first.port->reporting != 0 && second.port->reporting != 0) {
    out += ' ';
    for (int i = 0; i < kProductCount; ++i) {
      if (i > 0) out += " / ";
      AppendPairAmount(out, first.port->amount[i], true);
      out += '-';
      AppendPairAmount(out, second.port->amount[i], false);
    }
  }
  out += (first.bubble || second.bubble) ? " b " : "   ";
  AppendRight(out, PairTradeVolume(universe, s, t, kReservePercent));
}

// What a port holds of one product above `reserve` percent of its estimated
// capacity: supply where it sells, remaining demand where it buys.
std::int64_t Tradeable(const PortRecord& port, int product, std::uint8_t reserve) {
  const double amount = port.amount[product];
  const double percent = std::max<int>(port.percent[product], 1);
  const auto cut = static_cast<std::int64_t>(amount * 100.0 / percent * reserve / 100.0);
  return std::max<std::int64_t>(port.amount[product] - cut, 0);
}

}  // namespace

std::uint8_t PortClassNumber(std::uint8_t mask) {
  // Indexed by the buying mask: BBS, BSB, SBB, SSB, SBS, BSS, SSS, BBB are 1..8.
  static constexpr std::array<std::uint8_t, 8> kClassOfMask = {7, 6, 5, 1, 4, 2, 3, 8};
  return mask < kClassOfMask.size() ? kClassOfMask[mask] : 0;
}

std::uint32_t PairTradeVolume(const Universe& universe, std::uint16_t s, std::uint16_t t,
                              std::uint8_t reservePercent) {
  const Sector& first = universe.Lookup(s);
  const Sector& second = universe.Lookup(t);
  if (!first.port || !second.port || reservePercent >= 100) return 0;
  if (first.port->buying > 7 || second.port->buying > 7) return 0;
  const PortRecord& p = *first.port;
  const PortRecord& q = *second.port;
  const std::int64_t so = Tradeable(p, kOre, reservePercent);
  const std::int64_t sg = Tradeable(p, kOrganics, reservePercent);
  const std::int64_t se = Tradeable(p, kEquipment, reservePercent);
  const std::int64_t to = Tradeable(q, kOre, reservePercent);
  const std::int64_t tg = Tradeable(q, kOrganics, reservePercent);
  const std::int64_t te = Tradeable(q, kEquipment, reservePercent);
  using std::min;
  std::int64_t estimate = 0;
  switch (p.buying * 8 + q.buying) {
    case 3 * 8 + 4:  // BBS-SSB
      estimate = min(min(so + sg, to + tg), min(se, te));
      break;
    case 5 * 8 + 2:  // BSB-SBS
      estimate = min(min(so + se, to + te), min(sg, tg));
      break;
    case 6 * 8 + 1:  // SBB-BSS
      estimate = min(min(sg + se, tg + te), min(so, to));
      break;
    case 0 * 8 + 7:  // SSS-BBB
      estimate = min(so + sg + se, to + tg + te) / 2;
      break;
    case 3 * 8 + 5:  // BBS-BSB
    case 4 * 8 + 2:  // SSB-SBS
      estimate = min(min(tg, te), min(sg, se));
      break;
    case 3 * 8 + 6:  // BBS-SBB
    case 4 * 8 + 1:  // SSB-BSS
      estimate = min(min(to, te), min(so, se));
      break;
    case 5 * 8 + 6:  // BSB-SBB
    case 2 * 8 + 1:  // SBS-BSS
      estimate = min(min(to, tg), min(so, sg));
      break;
    default:
      break;
  }
  return static_cast<std::uint32_t>(estimate);
}

std::string FormatPortPair(const Universe& universe, std::uint16_t s, std::uint16_t t) {
  std::string line;
  AppendPortPair(line, universe, s, t);
  return line;
}

// The report lists, per class row, every two-way warp between ports of the
// row's classes, sectors ascending and warps in list order. One pass over the
// table sorts each warp into the rows it belongs to, which gives the same
// lines as scanning the whole table once per row.
void WritePortPairReport(const Universe& universe, const std::string& fileName) {
  const std::uint16_t n = universe.size();
  AnnounceFile("writing port pair report: ", fileName);
  OutputFile file(fileName);
  std::uint16_t spinner = ProgressTick(0, 500);

  // rowsOf[a][b]: the rows whose classes are (a, b), at most two.
  std::array<std::array<std::vector<std::uint8_t>, 9>, 9> rowsOf;
  for (std::size_t k = 0; k < kPairRows.size(); ++k) {
    rowsOf[kPairRows[k].a][kPairRows[k].b].push_back(static_cast<std::uint8_t>(k));
  }
  std::array<std::vector<std::pair<std::uint16_t, std::uint16_t>>, kPairRows.size()> pairs;

  // The class number of every sector that has a port and warps, else 0: the
  // warp targets are looked up here, in a small table that stays in cache.
  const std::uint16_t size = universe.size();
  std::vector<std::uint8_t> classOf(static_cast<std::size_t>(size) + 1, 0);
  for (std::uint32_t s = 1; s <= size; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (HasPortAndWarps(sector)) classOf[s] = PortClassNumber(sector.port->buying);
  }

  for (std::uint32_t s = 1; s <= n; ++s) {
    // The spinner turns as though the table were scanned once per row.
    spinner = ProgressTicks(spinner, 10000, static_cast<std::uint32_t>(kPairRows.size()));
    const std::uint8_t a = universe.Contains(s) ? classOf[s] : 0;
    if (a == 0) continue;
    const WarpList& warps = *universe.Lookup(s).warps;
    for (std::size_t j = 0; j < warps.targets.size(); ++j) {
      const std::uint16_t t = warps.targets[j];
      if (warps.kinds[j] != twoWay || !universe.Contains(t)) continue;
      const std::uint8_t b = classOf[t];
      for (std::uint8_t k : rowsOf[a][b]) {
        if (a != b || t > s) pairs[k].emplace_back(static_cast<std::uint16_t>(s), t);
      }
    }
  }

  std::string line;
  for (std::size_t k = 0; k < kPairRows.size(); ++k) {
    const PairRow& row = kPairRows[k];
    if (row.heading != nullptr) file.WriteLine(row.heading);
    line = " specific pairs (";
    AppendRight(line, row.a);
    line += ':';
    AppendRight(line, row.b);
    line += ')';
    file.WriteLine(line);
    for (const auto& [s, t] : pairs[k]) {
      line = "  ";
      AppendPortPair(line, universe, s, t);
      file.WriteLine(line);
    }
  }
  file.Commit();
  EndPhaseLine();
}
