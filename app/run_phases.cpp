#include "app/run_phases.h"

#include "platform/clock.h"
#include "platform/file.h"
#include "universe/universe.h"

namespace {

// Moves `from` to `to` when `from` exists and `to` does not; a failed move is
// ignored, as the next run tries again.
void MoveIfFree(const std::string& from, const std::string& to) {
  if (FileExists(from) && !FileExists(to)) MoveFile(from, to);
}

void RemoveIfExists(const std::string& name) {
  if (FileExists(name)) RemoveFile(name);
}

}  // namespace

void TidyFileSet(const std::string& cap) {
  if (!FileExists(cap + "_ref.sct") && !FileExists(cap + "_ref.prt")) {
    RemoveIfExists(cap + ".map");
    RemoveIfExists(cap + ".fig");
    RemoveIfExists(cap + ".vod");
  }
  MoveIfFree(cap + ".srf", cap + "_ref.sct");
  MoveIfFree(cap + ".prf", cap + "_ref.prt");
}

void RunPhases(const std::string& gameName, const std::string& cimPath,
               const std::string& reportPath, std::uint16_t sectorCount, std::uint8_t loadMask,
               std::uint16_t alphaCentauri, std::uint16_t rylos, std::uint16_t stardock,
               const std::string& distanceList, bool bubbles, bool reports,
               const std::string& extraFile) {
  const std::string cap = cimPath + gameName;
  const std::string rep = reportPath + gameName;
  const std::uint16_t n = sectorCount;
  (void)loadMask;
  (void)bubbles;
  (void)reports;
  (void)extraFile;

  // The specials table and the Universe live for exactly this run.
  const Specials specials = BuildSpecials(n, alphaCentauri, rylos, stardock, distanceList);
  Universe universe = CreateUniverse(n, specials.size());

  TidyFileSet(cap);

  OutputFile changeLog(rep + "_changelog.txt", OutputFile::Mode::Append);
  changeLog.WriteLine("[" + LocalTimeStamp() + "] BEGIN KORVAN2 RECORD:");

  changeLog.WriteLine("[END OF RECORD]");
  changeLog.WriteLine("");
  changeLog.Commit();
}
