#include "tests/analysis/bubbles_reference.h"

#include <algorithm>
#include <vector>

#include "platform/console.h"
#include "platform/file.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

bool HasList(const Universe& u, std::uint16_t last, std::uint32_t t) {
  return t >= 1 && t <= last && u[static_cast<std::uint16_t>(t)].warps;
}

void ErrorLine(OutputFile& file, std::uint32_t s, std::uint32_t t) {
  file.WriteLine("*** reconciliation error between sectors " + std::to_string(s) + " and " +
                 std::to_string(t) + ".");
}

}  // namespace

void AnalyseBubblesLiteral(Universe& u, std::uint16_t n, std::uint16_t warpSlots,
                           const std::string& fileName) {
  const std::string shown =
      fileName.size() > 33 ? "..." + fileName.substr(fileName.size() - 30) : fileName;
  ConsoleWrite("writing bubble report: " + shown + " ");
  OutputFile file(fileName);
  file.WriteLine("key: >    - the bubble gate is identified with a \">\" on the left.");
  file.WriteLine("     u    - some sectors in, or one-ways out of, the bubble are unexplored.");
  file.WriteLine("     c    - the bubble is compromised by one-way warps in.");
  file.WriteLine("     d    - distance from bottom of bubble.");
  file.WriteLine("     ()   - the sector is unexplored.");
  file.WriteLine("     []   - the port in that sector is not reporting.");
  file.WriteLine("     +    - the sector has a fig deployed.");
  file.WriteLine("note:  sector warps to the right may include oneways in, not seen in sector.");
  const std::uint16_t last = std::min(n, u.size());
  const auto w = static_cast<std::uint8_t>(NumberWidth(n));
  const std::string header = FormatSectorLine(0, u, warpSlots, w, BubbleLayout);
  for (std::uint32_t s = 1; s <= last; ++s) u[static_cast<std::uint16_t>(s)].bubble.reset();
  ConsoleWrite("0");

  // Pass 1: dead ends.
  for (std::uint32_t s = 1; s <= last; ++s) {
    Sector& sector = u[static_cast<std::uint16_t>(s)];
    std::uint32_t count = 0;
    bool allExplored = true;
    std::uint16_t exit = 0;
    if (sector.warps) {
      for (std::size_t j = 0; j < sector.warps->targets.size(); ++j) {
        const std::uint16_t t = sector.warps->targets[j];
        const std::uint32_t kind = sector.warps->kinds[j];
        if (!HasList(u, last, t)) {
          ErrorLine(file, s, t);
          continue;
        }
        if (u[t].explored == 0 && kind != oneWayIn) allExplored = false;
        if (kind == twoWay) {
          ++count;
          exit = t;
        }
      }
    }
    if (count == 1) {
      sector.bubble = BubbleRecord{1, static_cast<std::uint8_t>(sector.warps->inCount > 0),
                                   static_cast<std::uint8_t>(sector.explored == 1 && allExplored),
                                   exit};
    }
  }

  // Passes 2, 3, ...: peeling.
  std::uint16_t deepest = 0;
  for (std::uint16_t pass = 2;; ++pass) {
    ConsoleWrite(std::string(1, static_cast<char>('0' + (pass - 1) % 10)));
    bool changed = false;
    for (std::uint32_t s = 1; s <= last; ++s) {
      Sector& sector = u[static_cast<std::uint16_t>(s)];
      if (sector.bubble) continue;
      std::uint32_t count = 0;
      bool allExplored = true;
      bool nearCompromise = false;
      std::uint16_t exit = 0;
      if (sector.warps) {
        for (std::size_t j = 0; j < sector.warps->targets.size(); ++j) {
          const std::uint16_t t = sector.warps->targets[j];
          const std::uint32_t kind = sector.warps->kinds[j];
          if (!HasList(u, last, t)) {
            ErrorLine(file, s, t);
            continue;
          }
          const Sector& target = u[t];
          if (target.warps->inCount > 0 && kind != oneWayOut) nearCompromise = true;
          if (kind == twoWay && (!target.bubble || target.bubble->depth == pass)) {
            ++count;
            exit = t;
          } else if (kind == twoWay && target.bubble->explored == 0) {
            allExplored = false;
          }
          if (target.explored == 0) allExplored = false;
        }
      }
      if (count != 1) continue;
      changed = true;
      sector.bubble = BubbleRecord{
          static_cast<std::uint8_t>(pass),
          static_cast<std::uint8_t>(sector.warps->inCount > 0 || nearCompromise),
          static_cast<std::uint8_t>(allExplored), exit};
      for (std::size_t j = 0; j < sector.warps->targets.size(); ++j) {
        if (sector.warps->targets[j] == exit || sector.warps->kinds[j] == oneWayOut) continue;
        for (std::uint32_t r = 1; r <= last; ++r) {
          auto& record = u[static_cast<std::uint16_t>(r)].bubble;
          if (record && record->gate == s) record->gate = exit;
        }
      }
    }
    if (!changed || pass == 255) {
      deepest = pass;
      break;
    }
  }

  // Report.
  std::vector<std::uint8_t> gateMark(static_cast<std::size_t>(last) + 1, 0);
  for (std::uint32_t s = 1; s <= last; ++s) {
    const auto& record = u[static_cast<std::uint16_t>(s)].bubble;
    if (record) gateMark[record->gate] = 1;
  }
  for (std::uint32_t d = deepest; d >= 1; --d) {
    bool first = true;
    for (std::uint32_t g = 1; g <= last; ++g) {
      const Sector& gate = u[static_cast<std::uint16_t>(g)];
      if (gateMark[g] == 0 || !gate.warps) continue;
      std::uint32_t depth = 0;
      for (std::uint16_t t : gate.warps->targets) {
        if (!HasList(u, last, t)) continue;
        const auto& record = u[t].bubble;
        if (record && record->gate == g) depth = std::max<std::uint32_t>(depth, record->depth);
      }
      if (depth != d) continue;
      if (first) {
        file.WriteLine(std::to_string(d) + "-DEEP BUBBLES:");
        file.WriteLine("  " + header);
        first = false;
      }
      gateMark[g] = 0;
      file.WriteLine(" >" + FormatSectorLine(static_cast<std::uint16_t>(g), u, warpSlots, w,
                                             BubbleLayout));
      for (std::uint32_t m = 1; m <= last; ++m) {
        const auto& record = u[static_cast<std::uint16_t>(m)].bubble;
        if (record && record->gate == g && m != g) {
          file.WriteLine("  " + FormatSectorLine(static_cast<std::uint16_t>(m), u, warpSlots, w,
                                                 BubbleLayout));
        }
      }
    }
  }
  file.Commit();
  ConsoleWrite(".\n");
}
