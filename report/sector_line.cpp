#include "report/sector_line.h"

#include <algorithm>
#include <string_view>

#include "text/line_writer.h"
#include "text/text.h"

namespace {

void AppendSpaces(std::string& out, std::int64_t count) {
  if (count > 0) out.append(static_cast<std::size_t>(count), ' ');
}

// The first k characters of `text` (all of it when shorter).
std::string_view LeftOf(std::string_view text, std::size_t k) { return text.substr(0, k); }

// The last k characters of `text` (all of it when shorter).
std::string_view RightOf(std::string_view text, std::size_t k) {
  return k >= text.size() ? text : text.substr(text.size() - k);
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

// The brackets of a sector number: ( ) unexplored, [ ] port not reporting.
char OpenMark(const Sector& sector) {
  if (sector.explored == 0) return '(';
  return sector.port && sector.port->reporting == 0 ? '[' : ' ';
}

char CloseMark(const Sector& sector) {
  if (sector.explored == 0) return ')';
  return sector.port && sector.port->reporting == 0 ? ']' : ' ';
}

// The port's class letters, lower case where the estimated capacity is below
// `threshold`; nothing for a buying mask outside 0..7.
std::size_t PortLetters(const PortRecord& port, std::uint16_t threshold, char (&letters)[3]) {
  if (port.buying > 7) return 0;
  for (std::size_t i = 0; i < 3; ++i) {
    // Estimated in 32 bits: an amount far above what its percentage implies
    // goes beyond 16 bits and must still compare as the large number it is.
    const std::uint32_t amount = port.amount[i];
    const std::uint32_t percent = port.percent[i];
    const std::uint32_t estimate = percent == 100 ? amount : amount * 100u / (percent + 1u);
    const bool buys = ((port.buying >> i) & 1u) != 0;
    letters[i] = threshold > estimate ? (buys ? 'b' : 's') : (buys ? 'B' : 'S');
  }
  return 3;
}

// The product's amount as at most three characters: "999", " 1k", "65k".
void PutAmount(LineWriter& line, std::uint16_t amount) {
  if (amount > 999) {
    const std::uint32_t thousands = amount / 1000u;
    line.Right(thousands, 2);
    line.Put('k');
  } else {
    line.Right(amount, 3);
  }
}

std::uint8_t MarksOf(const Sector& sector) {
  std::uint8_t marks = sector.fig != 0 ? SectorMarks::kFig : 0;
  if (sector.explored == 0) {
    marks |= SectorMarks::kUnexplored;
  } else if (sector.port && sector.port->reporting == 0) {
    marks |= SectorMarks::kNotReporting;
  }
  return marks;
}

void PutWarpCell(LineWriter& line, std::uint8_t marks, std::uint16_t target, std::uint32_t kind,
                 int w) {
  const char mark = kind == oneWayOut ? '^' : kind == twoWay ? ' ' : kind == oneWayIn ? 'v' : 0;
  const bool unexplored = (marks & SectorMarks::kUnexplored) != 0;
  const bool notReporting = (marks & SectorMarks::kNotReporting) != 0;
  line.Put(unexplored ? '(' : notReporting ? '[' : ' ');
  line.Put((marks & SectorMarks::kFig) != 0 ? '+' : ' ');
  line.Right(target, mark != 0 ? w : w + 1);
  if (mark != 0) line.Put(mark);
  line.Put(unexplored ? ')' : notReporting ? ']' : ' ');
}

void AppendLine(std::string& out, std::uint16_t sector, const Universe& universe,
                const SectorMarks* marks, std::uint16_t warpSlots, std::uint8_t numberWidth,
                std::uint8_t layout);

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
  char letters[3];
  return std::string(letters, PortLetters(*e.port, threshold, letters));
}

SectorMarks::SectorMarks(const Universe& universe) : marks_(universe.size() + std::size_t{1}) {
  marks_[0] = kUnknown;
  for (std::uint32_t s = 1; s < marks_.size(); ++s) marks_[s] = MarksOf(universe.Lookup(s));
}

void AppendSectorLine(std::string& out, std::uint16_t sector, const Universe& universe,
                      std::uint16_t warpSlots, std::uint8_t numberWidth, std::uint8_t layout) {
  AppendLine(out, sector, universe, nullptr, warpSlots, numberWidth, layout);
}

void AppendSectorLine(std::string& out, std::uint16_t sector, const Universe& universe,
                      const SectorMarks& marks, std::uint16_t warpSlots,
                      std::uint8_t numberWidth, std::uint8_t layout) {
  AppendLine(out, sector, universe, &marks, warpSlots, numberWidth, layout);
}

namespace {

void AppendLine(std::string& out, std::uint16_t sector, const Universe& universe,
                const SectorMarks* marks, std::uint16_t warpSlots, std::uint8_t numberWidth,
                std::uint8_t layout) {
  if (layout != BubbleLayout && layout != SpecialPortLayout && layout != FullLayout) return;
  const int w = numberWidth;
  if (sector == 0) {
    AppendHeader(out, warpSlots, w, layout);
    return;
  }
  const Sector& e = universe.Lookup(sector);
  const std::size_t count = e.warps ? e.warps->targets.size() : 0;
  const bool hasNotes = !e.note.empty() || !e.log.empty();
  const std::int64_t padding =
      hasNotes ? (static_cast<std::int64_t>(warpSlots) - static_cast<std::int64_t>(count)) * (w + 5)
               : 0;
  // Room for the longest line this sector can give: fixed cells of at most
  // 5-digit numbers, each warp cell, the padding and the notes.
  const std::size_t room = 128 + 4 * static_cast<std::size_t>(w) +
                           count * (static_cast<std::size_t>(w) + 12) +
                           static_cast<std::size_t>(std::max<std::int64_t>(padding, 0)) +
                           e.note.size() + e.log.size();
  const std::size_t start = out.size();
  {  // the writer gives the string back its length when it goes
    LineWriter line(out, room);

    // Sector cell.
    line.Put(OpenMark(e));
    line.Put(e.fig != 0 ? '+' : ' ');
    line.Right(sector, w);
    line.Put(CloseMark(e));
    line.Put(' ');

    // Class, then the percentages and amounts of the full layout.
    if (e.port) {
      char letters[3];
      line.Put(std::string_view(letters, PortLetters(*e.port, 3001, letters)));
    } else {
      line.Put("---");
    }
    line.Put(' ');
    if (layout == FullLayout) {
      if (e.port) {
        const PortRecord& port = *e.port;
        line.Put('(');
        for (int i = 0; i < kProductCount; ++i) {
          const std::uint8_t percent = port.percent[static_cast<std::size_t>(i)];
          if (port.reporting == 0) {
            line.Put('.');
          } else if (percent == 100) {
            line.Put('*');
          } else {
            line.Right(percent / 10u, 0);
          }
        }
        line.Put(") ");
        for (int i = 0; i < kProductCount; ++i) {
          if (i > 0) line.Put(' ');
          PutAmount(line, port.amount[static_cast<std::size_t>(i)]);
        }
        line.Put(' ');
      } else {
        line.Spaces(5 + 1 + 11 + 1);
      }
    }

    // Gate and ucd cells.
    const bool inBubble = e.bubble && e.bubble->gate > 0;
    if (layout != BubbleLayout) {
      if (inBubble) {
        line.Right(e.bubble->gate, w);
      } else {
        line.Spaces(w);
      }
      line.Put('/');
    }
    if (inBubble) {
      line.Put(e.bubble->explored == 0 ? 'u' : ' ');
      line.Put(e.bubble->compromised != 0 ? 'c' : ' ');
      line.Left(e.bubble->depth, 2);
    } else {
      line.Put("    ");
    }

    // Msl cell: hops from the lane, then hops to it.
    if (layout != SpecialPortLayout) {
      line.Put(' ');
      const std::uint8_t to = e.hopsTo.empty() ? kNoRoute : e.hopsTo[kMslSlot];
      const std::uint8_t from = e.hopsFrom.empty() ? kNoRoute : e.hopsFrom[kMslSlot];
      if (to == kNoRoute || from == kNoRoute) {
        line.Put(" n/a ");
      } else {
        line.Right(from, 2);
        line.Put(',');
        line.Left(to, 2);
      }
    }
    line.Put(" : ");

    // Warp cells, joined by one blank.
    for (std::size_t j = 0; j < count; ++j) {
      if (j > 0) line.Put(' ');
      const std::uint16_t target = e.warps->targets[j];
      PutWarpCell(line, marks != nullptr ? (*marks)[target] : MarksOf(universe.Lookup(target)),
                  target, e.warps->kinds[j], w);
    }
    line.Put(' ');

    // Padding up to warpSlots cells, then the notes.
    if (hasNotes) {
      line.Spaces(padding);
      line.Put(" notes: ");
      if (e.note.empty()) {
        line.Put('(');
        line.Put(e.log);
        line.Put(')');
      } else {
        line.Put(e.note);
        if (!e.log.empty()) {
          line.Put(" (");
          line.Put(e.log);
          line.Put(')');
        }
      }
    }
  }
  // Trailing blanks go; a line without notes ends at its last warp cell.
  std::size_t end = out.size();
  while (end > start) {
    const char c = out[end - 1];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') break;
    --end;
  }
  out.resize(end);
}

}  // namespace

std::string FormatSectorLine(std::uint16_t sector, const Universe& universe,
                             std::uint16_t warpSlots, std::uint8_t numberWidth,
                             std::uint8_t layout) {
  std::string line;
  AppendSectorLine(line, sector, universe, warpSlots, numberWidth, layout);
  return line;
}
