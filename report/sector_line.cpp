#include "report/sector_line.h"

#include "text/text.h"

namespace {

void AppendSpaces(std::string& out, std::int64_t count) {
  if (count > 0) out.append(static_cast<std::size_t>(count), ' ');
}

std::size_t DigitCount(std::uint32_t value) {
  return static_cast<std::size_t>(NumberWidth(value));
}

// The first k characters of `text` (all of it when shorter).
std::string_view LeftOf(std::string_view text, std::size_t k) { return text.substr(0, k); }

// The last k characters of `text` (all of it when shorter).
std::string_view RightOf(std::string_view text, std::size_t k) {
  return k >= text.size() ? text : text.substr(text.size() - k);
}

// The brackets of a sector number: ( ) unexplored, [ ] port not reporting.
void OpenMark(std::string& out, const Sector& sector) {
  if (sector.explored == 0) {
    out += '(';
  } else if (sector.port && sector.port->reporting == 0) {
    out += '[';
  } else {
    out += ' ';
  }
}

void CloseMark(std::string& out, const Sector& sector) {
  if (sector.explored == 0) {
    out += ')';
  } else if (sector.port && sector.port->reporting == 0) {
    out += ']';
  } else {
    out += ' ';
  }
}

void AppendHeader(std::string& out, std::uint16_t warpSlots, int w, std::uint8_t layout) {
  const std::size_t width = static_cast<std::size_t>(w);
  out += LeftOf("sector ", width + 3);
  if (layout == FullLayout) {
    out += " xxx (%%%) ore org equ ";
    out += RightOf(" gate", width);
    out += "/ucd   msl  : warps ^=oneway out, v=oneway in";
  } else if (layout == SpecialPortLayout) {
    out += " xxx ";
    out += RightOf(" gate", width);
    out += "/ucd  : warps ^=oneway out, v=oneway in";
  } else {
    out += " xxx ";
    out += "ucd   msl  : warps ^=oneway out, v=oneway in";
  }
  AppendSpaces(out, std::int64_t{warpSlots} * (w + 5) - 30);
  out += "notes";
}

// The product's amount as at most three characters: "999", " 1k", "65k".
void AppendAmount(std::string& out, std::uint16_t amount) {
  if (amount > 999) {
    const std::uint32_t thousands = amount / 1000u;
    AppendSpaces(out, 2 - static_cast<std::int64_t>(DigitCount(thousands)));
    AppendRight(out, thousands);
    out += 'k';
  } else {
    AppendRight(out, amount, 3);
  }
}

void AppendWarpCell(std::string& out, const Universe& universe, std::uint16_t target,
                    std::uint32_t kind, int w) {
  const Sector& t = universe.Lookup(target);
  const char mark = kind == oneWayOut ? '^' : kind == twoWay ? ' ' : kind == oneWayIn ? 'v' : 0;
  const std::size_t textLength = DigitCount(target) + (mark != 0 ? 1 : 0);
  OpenMark(out, t);
  out += t.fig != 0 ? '+' : ' ';
  AppendSpaces(out, static_cast<std::int64_t>(w) - static_cast<std::int64_t>(textLength) + 1);
  AppendRight(out, target);
  if (mark != 0) out += mark;
  CloseMark(out, t);
}

}  // namespace

std::string PortClassName(std::uint8_t mask) {
  if (mask > 7) return std::string();
  std::string name = "SSS";
  for (int i = 0; i < kProductCount; ++i) {
    if ((mask >> i) & 1u) name[static_cast<std::size_t>(i)] = 'B';
  }
  return name;
}

std::string DescribePort(std::uint16_t sector, std::uint16_t threshold, const Universe& universe) {
  const Sector& e = universe.Lookup(sector);
  if (!e.port) return std::string();
  const PortRecord& port = *e.port;
  std::string name = PortClassName(port.buying);
  for (std::size_t i = 0; i < name.size(); ++i) {
    // Estimated in 32 bits: an amount far above what its percentage implies
    // goes beyond 16 bits and must still compare as the large number it is.
    const std::uint32_t amount = port.amount[i];
    const std::uint32_t percent = port.percent[i];
    const std::uint32_t estimate = percent == 100 ? amount : amount * 100u / (percent + 1u);
    if (threshold > estimate) name[i] = static_cast<char>(name[i] - 'A' + 'a');
  }
  return name;
}

void AppendSectorLine(std::string& out, std::uint16_t sector, const Universe& universe,
                      std::uint16_t warpSlots, std::uint8_t numberWidth, std::uint8_t layout) {
  if (layout != BubbleLayout && layout != SpecialPortLayout && layout != FullLayout) return;
  const int w = numberWidth;
  if (sector == 0) {
    AppendHeader(out, warpSlots, w, layout);
    return;
  }
  const std::size_t start = out.size();
  const Sector& e = universe.Lookup(sector);

  // Sector cell.
  OpenMark(out, e);
  out += e.fig != 0 ? '+' : ' ';
  AppendRight(out, sector, w);
  CloseMark(out, e);
  out += ' ';

  // Class, then the percentages and amounts of the full layout.
  if (e.port) {
    out += DescribePort(sector, 3001, universe);
  } else {
    out += "---";
  }
  out += ' ';
  if (layout == FullLayout) {
    if (e.port) {
      const PortRecord& port = *e.port;
      out += '(';
      for (int i = 0; i < kProductCount; ++i) {
        const std::uint8_t percent = port.percent[static_cast<std::size_t>(i)];
        if (port.reporting == 0) {
          out += '.';
        } else if (percent == 100) {
          out += '*';
        } else {
          AppendRight(out, percent / 10);
        }
      }
      out += ") ";
      for (int i = 0; i < kProductCount; ++i) {
        if (i > 0) out += ' ';
        AppendAmount(out, port.amount[static_cast<std::size_t>(i)]);
      }
      out += ' ';
    } else {
      out.append(5 + 1 + 11 + 1, ' ');
    }
  }

  // Gate and ucd cells.
  const bool inBubble = e.bubble && e.bubble->gate > 0;
  if (layout != BubbleLayout) {
    if (inBubble) {
      AppendRight(out, e.bubble->gate, w);
    } else {
      AppendSpaces(out, w);
    }
    out += '/';
  }
  if (inBubble) {
    out += e.bubble->explored == 0 ? 'u' : ' ';
    out += e.bubble->compromised != 0 ? 'c' : ' ';
    AppendLeft(out, e.bubble->depth, 2);
  } else {
    out += "    ";
  }

  // Msl cell: hops from the lane, then hops to it.
  if (layout != SpecialPortLayout) {
    out += ' ';
    const std::uint8_t to = e.hopsTo.empty() ? kNoRoute : e.hopsTo[kMslSlot];
    const std::uint8_t from = e.hopsFrom.empty() ? kNoRoute : e.hopsFrom[kMslSlot];
    if (to == kNoRoute || from == kNoRoute) {
      out += " n/a ";
    } else {
      AppendRight(out, from, 2);
      out += ',';
      AppendLeft(out, to, 2);
    }
  }
  out += " : ";

  // Warp cells, joined by one blank.
  const std::size_t count = e.warps ? e.warps->targets.size() : 0;
  for (std::size_t j = 0; j < count; ++j) {
    if (j > 0) out += ' ';
    AppendWarpCell(out, universe, e.warps->targets[j], e.warps->kinds[j], w);
  }
  out += ' ';

  // Padding up to warpSlots cells, then the notes.
  if (!e.note.empty() || !e.log.empty()) {
    AppendSpaces(out, (static_cast<std::int64_t>(warpSlots) - static_cast<std::int64_t>(count)) *
                          (w + 5));
    out += " notes: ";
    if (e.note.empty()) {
      out += '(';
      out += e.log;
      out += ')';
    } else {
      out += e.note;
      if (!e.log.empty()) {
        out += " (";
        out += e.log;
        out += ')';
      }
    }
  }

  std::size_t end = out.size();
  while (end > start) {
    const char c = out[end - 1];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    --end;
  }
  out.resize(end);
}

std::string FormatSectorLine(std::uint16_t sector, const Universe& universe,
                             std::uint16_t warpSlots, std::uint8_t numberWidth,
                             std::uint8_t layout) {
  std::string line;
  AppendSectorLine(line, sector, universe, warpSlots, numberWidth, layout);
  return line;
}
