#include "report/bubbles_report.h"

#include <vector>

#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

const char* const kKeyLines[] = {
    "key: >    - the bubble gate is identified with a \">\" on the left.",
    "     u    - some sectors in, or one-ways out of, the bubble are unexplored.",
    "     c    - the bubble is compromised by one-way warps in.",
    "     d    - distance from bottom of bubble.",
    "     ()   - the sector is unexplored.",
    "     []   - the port in that sector is not reporting.",
    "     +    - the sector has a fig deployed.",
    "note:  sector warps to the right may include oneways in, not seen in sector.",
};

// The reconciliation errors as the peeling met them: pass by pass, each sector
// it examined (one in no bubble when the pass began: without a record, or with
// a record of that pass or a later one), each warp to a sector without a list.
void WriteErrorLines(const Universe& universe, const Bubbles& bubbles, OutputFile& file) {
  std::vector<std::uint16_t> examined = bubbles.errorSectors;
  std::string line;
  for (std::uint32_t pass = 1; pass <= bubbles.passes && !examined.empty(); ++pass) {
    std::size_t kept = 0;
    for (std::uint16_t s : examined) {
      const Sector& sector = universe[s];
      if (sector.bubble && sector.bubble->depth < pass) continue;  // peeled off earlier
      examined[kept++] = s;
      for (std::uint16_t t : sector.warps->targets) {
        if (universe.Lookup(t).warps) continue;
        line = "*** reconciliation error between sectors ";
        AppendRight(line, s);
        line += " and ";
        AppendRight(line, t);
        line += '.';
        file.WriteLine(line);
      }
    }
    examined.resize(kept);
  }
}

}  // namespace

void WriteBubbleReport(const Universe& universe, const Bubbles& bubbles, std::uint16_t warpSlots,
                       const std::string& fileName) {
  // The report replaces the old one only when it is complete.
  OutputFile file(fileName);
  for (const char* key : kKeyLines) file.WriteLine(key);
  WriteErrorLines(universe, bubbles, file);

  const auto w = static_cast<std::uint8_t>(NumberWidth(universe.size()));
  std::string header = "  ";
  AppendSectorLine(header, 0, universe, warpSlots, w, BubbleLayout);
  const SectorMarks marks(universe);
  std::string line;
  std::uint8_t section = 0;
  for (const Bubbles::Gate& gate : bubbles.gates) {
    if (gate.depth != section) {
      section = gate.depth;
      line.clear();
      AppendRight(line, section);
      line += "-DEEP BUBBLES:";
      file.WriteLine(line);
      file.WriteLine(header);
    }
    const std::uint16_t g = gate.sector;
    line.assign(" >");
    AppendSectorLine(line, g, universe, marks, warpSlots, w, BubbleLayout);
    file.WriteLine(line);
    for (std::uint32_t i = bubbles.memberStart[g]; i < bubbles.memberStart[g + 1]; ++i) {
      const std::uint16_t u = bubbles.members[i];
      if (u == g) continue;
      line.assign("  ");
      AppendSectorLine(line, u, universe, marks, warpSlots, w, BubbleLayout);
      file.WriteLine(line);
    }
  }
  file.Commit();
  EndPhaseLine();
}
