#include "report/special_ports.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/file.h"
#include "progress/progress.h"
#include "report/sector_line.h"
#include "text/text.h"

namespace {

// Hops from terra, 255 when no path was found.
std::uint8_t HopsFromTerra(const Sector& sector) {
  return sector.hopsFrom.size() > kTerraSlot ? sector.hopsFrom[kTerraSlot] : kNoRoute;
}

}  // namespace

void WriteSpecialPortReport(const Universe& universe, std::uint16_t warpSlots,
                            const std::string& fileName) {
  const std::uint16_t n = universe.size();
  AnnounceFile("writing special port report: ", fileName);
  // The report replaces the old one only when it is complete.
  OutputFile file(fileName);
  const auto w = static_cast<std::uint8_t>(NumberWidth(n));
  std::string header = " ";
  AppendSectorLine(header, 0, universe, warpSlots, w, SpecialPortLayout);
  file.WriteLine("special port report");

  // Rich sectors entered by one-way warps, without a port or with a port that
  // buys everything, in ascending order; D is the farthest distance from terra
  // of any sector with warps, candidate or not.
  // Each candidate with its distance, so that the groups are read off one sorted
  // list instead of rescanning the candidates for every distance up to D.
  std::vector<std::pair<std::uint8_t, std::uint16_t>> candidates;
  std::uint16_t farthest = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.warps) continue;
    const bool marked = sector.warps->count() >= 7 && sector.warps->inCount >= 1;
    if (marked && (!sector.port || sector.port->buying == 7)) {
      candidates.emplace_back(HopsFromTerra(sector), static_cast<std::uint16_t>(s));
    }
    farthest = std::max<std::uint16_t>(farthest, HopsFromTerra(sector));
  }
  // By distance, and within a distance by sector number as collected.
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  std::string line;
  std::uint16_t group = 0;  // the distance whose heading was written last
  for (const auto& [d, s] : candidates) {
    if (d < 1 || d > farthest) continue;
    if (d != group) {
      line.clear();
      AppendRight(line, d);
      line += " hops from terra";
      file.WriteLine(line);
      file.WriteLine(header);
      group = d;
    }
    line.assign(1, ' ');
    AppendSectorLine(line, s, universe, warpSlots, w, SpecialPortLayout);
    file.WriteLine(line);
  }
  file.Commit();
  EndPhaseLine();
}
