#include "report/msl_report.h"

#include <algorithm>

#include "platform/file.h"
#include "progress/progress.h"
#include "text/text.h"

namespace {

// One amtrak line: the sector, then every sector above fed space that it can
// jump to and that is not on the lane, "+" marking a fig.
void BuildAmtrakLine(std::string& line, const Universe& universe, std::uint16_t s, int width) {
  line.clear();
  AppendRight(line, s, width);
  line += " : ";
  const WarpList& warps = *universe[s].warps;
  const std::size_t count = std::min(warps.targets.size(), warps.kinds.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t target = warps.targets[i];
    if (warps.kinds[i] > 1 || target <= 10) continue;
    const Sector& sector = universe.Lookup(target);
    if (sector.hopsFrom[kMslSlot] == 0) continue;
    if (sector.fig) line += '+';
    AppendRight(line, target);
    line += ' ';
  }
}

}  // namespace

void WriteMslReport(const Universe& universe, const std::vector<LaneRoute>& routes,
                    const std::string& fileName) {
  if (routes.empty()) return;
  const std::uint16_t n = universe.size();
  AnnounceFile("writing msl report: ", fileName);
  OutputFile out(fileName);
  const int width = NumberWidth(n);
  std::string line;
  for (const LaneRoute& route : routes) {
    line.assign(static_cast<std::size_t>(2 * width + 6), ' ');
    line += route.title;
    out.WriteLine(line);
    line.clear();
    AppendRight(line, route.from, width);
    line += "-->";
    AppendLeft(line, route.to, width);
    line += " : ";
    for (std::size_t i = 0; i < route.sectors.size(); ++i) {
      if (i > 0) line += " > ";
      AppendRight(line, route.sectors[i]);
    }
    out.WriteLine(line);
    out.WriteLine("");
  }

  out.WriteLine("amtrak sectors around fed");
  const std::uint16_t lastFed = std::min<std::uint16_t>(10, n);
  for (std::uint16_t s = 1; s <= lastFed; ++s) {
    if (!universe[s].warps) continue;
    BuildAmtrakLine(line, universe, s, width);
    out.WriteLine(line);
  }
  out.WriteLine("amtrak sectors around msl");
  for (std::uint32_t s = 11; s <= n; ++s) {
    const Sector& sector = universe[static_cast<std::uint16_t>(s)];
    if (!sector.warps || sector.hopsFrom[kMslSlot] != 0) continue;
    BuildAmtrakLine(line, universe, static_cast<std::uint16_t>(s), width);
    out.WriteLine(line);
  }
  out.Commit();
  EndPhaseLine();
}
