#include "report/atlas.h"

#include <array>
#include <charconv>

#include "app/progress.h"
#include "platform/file.h"
#include "report/atlas_page.h"
#include "report/sector_line.h"

namespace {

// The characters of bytes 0x80..0x9F in Windows-1252; the five bytes it leaves
// undefined keep their own code points. Bytes 0xA0..0xFF are their own code
// points.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendNumber(std::string& out, std::uint32_t value) {
  char digits[10];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, static_cast<std::size_t>(end - digits));
}

void AppendUnicodeEscape(std::string& out, std::uint32_t codePoint) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(codePoint >> shift) & 0xF];
}

std::uint8_t HopAt(const HopTable& table, std::size_t slot) {
  return slot < table.size() ? table[slot] : kNoRoute;
}

// A column of hop counts: sectors 1..n of one table's slot.
void AppendHopColumn(std::string& out, const Universe& universe, std::uint16_t n,
                     std::size_t slot, bool to) {
  out += '[';
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (s > 1) out += ',';
    AppendNumber(out, HopAt(to ? sector.hopsTo : sector.hopsFrom, slot));
  }
  out += ']';
}

// Whether the slot's hop columns say anything: a slot with a sector, or the
// msl slot once a sector lies on the lane.
bool SlotHasCounts(const Universe& universe, std::uint16_t n, const Specials& specials,
                   std::size_t slot) {
  if (slot != kMslSlot) return specials[slot] != 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    if (HopAt(universe.Lookup(s).hopsFrom, kMslSlot) == 0) return true;
  }
  return false;
}

// The texts of one kind (notes or logs): sector and text for each sector that
// has one.
void AppendTexts(std::string& out, const Universe& universe, std::uint16_t n,
                 std::string Sector::*text) {
  out += '[';
  bool first = true;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const std::string& value = universe.Lookup(s).*text;
    if (value.empty()) continue;
    if (!first) out += ',';
    first = false;
    AppendNumber(out, s);
    out += ',';
    AppendJsonText(out, value);
  }
  out += ']';
}

}  // namespace

void AppendJsonText(std::string& out, std::string_view bytes) {
  out += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      AppendUnicodeEscape(out, byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    } else if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F || byte == '<' || byte == '>' || byte == '&') {
      AppendUnicodeEscape(out, byte);
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string AtlasData(const Universe& universe, std::uint16_t n, const Specials& specials,
                      std::uint16_t specialCount, std::string_view gameName) {
  const std::size_t slots = std::min<std::size_t>({specials.size(), specialCount, kAtlasSlots});
  std::uint16_t spinner = ProgressTick(0, 1000);
  std::string out;
  // About a hundred bytes a sector for a realistic game: one allocation.
  out.reserve(std::size_t{100} * n + 4096);

  out += "{\"format\":1,\"game\":";
  AppendJsonText(out, gameName);
  out += ",\"sectors\":";
  AppendNumber(out, n);
  out += ",\"specials\":[";
  for (std::size_t k = 0; k < slots; ++k) {
    if (k > 0) out += ',';
    AppendNumber(out, specials[k]);
  }

  out += "],\"flags\":\"";
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    out += static_cast<char>('0' + (sector.explored != 0 ? 1 : 0) + (sector.fig != 0 ? 2 : 0));
  }

  out += "\",\"warps\":[";
  for (std::uint32_t s = 1; s <= n; ++s) {
    spinner = ProgressTick(spinner, 1000);
    const Sector& sector = universe.Lookup(s);
    if (s > 1) out += ',';
    if (!sector.warps) {
      out += '0';
      continue;
    }
    const WarpList& warps = *sector.warps;
    const std::size_t count = std::min(warps.targets.size(), warps.kinds.size());
    AppendNumber(out, static_cast<std::uint32_t>(count + 1));
    for (std::size_t i = 0; i < count; ++i) {
      out += ',';
      const std::uint32_t kind = warps.kinds[i] <= oneWayIn ? warps.kinds[i] : 3;
      AppendNumber(out, std::uint32_t{warps.targets[i]} * 4 + kind);
    }
  }

  out += "],\"ports\":[";
  std::string classes;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.port) continue;
    const PortRecord& port = *sector.port;
    if (!classes.empty()) out += ',';
    AppendNumber(out, s);
    out += ',';
    AppendNumber(out, (port.buying & 7u) + (port.reporting != 0 ? 8u : 0u));
    for (const std::uint8_t percent : port.percent) {
      out += ',';
      AppendNumber(out, percent);
    }
    for (const std::uint16_t amount : port.amount) {
      out += ',';
      AppendNumber(out, amount);
    }
    // Three letters for every port, whatever its mask holds.
    std::string letters = DescribePort(static_cast<std::uint16_t>(s), 3001, universe);
    letters.resize(3, '?');
    classes += letters;
  }
  out += "],\"portClass\":\"";
  out += classes;

  for (const bool to : {true, false}) {
    out += to ? "\",\"hopsTo\":[" : "],\"hopsFrom\":[";
    for (std::size_t k = 0; k < slots; ++k) {
      spinner = ProgressTicks(spinner, 1000, n);
      if (k > 0) out += ',';
      if (SlotHasCounts(universe, n, specials, k)) {
        AppendHopColumn(out, universe, n, k, to);
      } else {
        out += "null";
      }
    }
  }

  out += "],\"bubbles\":[";
  bool first = true;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.bubble) continue;
    const BubbleRecord& bubble = *sector.bubble;
    if (!first) out += ',';
    first = false;
    AppendNumber(out, s);
    out += ',';
    AppendNumber(out, bubble.gate);
    out += ',';
    AppendNumber(out, bubble.depth);
    out += ',';
    AppendNumber(out, (bubble.compromised != 0 ? 1u : 0u) + (bubble.explored != 0 ? 2u : 0u));
  }
  out += "],\"notes\":";
  AppendTexts(out, universe, n, &Sector::note);
  out += ",\"logs\":";
  AppendTexts(out, universe, n, &Sector::log);
  out += '}';
  return out;
}

void WriteAtlas(const Universe& universe, std::uint16_t n, const Specials& specials,
                std::uint16_t specialCount, const std::string& gameName,
                const std::string& fileName) {
  AnnounceFile("writing atlas: ", fileName);
  // The page replaces the old one only when it is complete.
  OutputFile file(fileName);
  file.Write(AtlasPageHead());
  file.Write(AtlasData(universe, n, specials, specialCount, gameName));
  file.Write(AtlasPageTail());
  file.Commit();
  EndPhaseLine();
}
