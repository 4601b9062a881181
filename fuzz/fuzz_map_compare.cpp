// The map comparison: a map file of any bytes against the merged data of a
// generated game. Byte 0 of the input picks the game, the rest is the map file.
//
// The games are built once per process: a realistic game of 300 sectors and a
// "wide" game of 100 sectors whose lists hold up to 255 warps.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "capture/port_file.h"
#include "capture/reconcile.h"
#include "capture/sector_file.h"
#include "fuzz/fuzz_util.h"
#include "platform/file.h"
#include "report/map_changes.h"
#include "tools/game_generator.h"
#include "universe/map_file.h"

namespace {

std::vector<std::unique_ptr<Universe>> games;

std::unique_ptr<Universe> MergedGame(std::uint32_t sectors, GameProfile profile) {
  GameOptions options;
  options.sectorCount = sectors;
  options.seed = 9;
  options.profile = profile;
  const auto n = static_cast<std::uint16_t>(sectors);
  auto universe = std::make_unique<Universe>(CreateUniverse(n, 5));
  OutputFile changeLog(ScratchPath() + "merge_changelog.txt");
  for (const GameFile& file : GenerateGame(options)) {
    const std::string name = WriteScratchFile(file.name, file.bytes);
    if (file.name == "game.sct") ReadSectorFile(*universe, name, LoadMode::Replace, 1, changeLog);
    if (file.name == "game.prt") ReadPortFile(*universe, name, LoadMode::Replace, 1, changeLog);
  }
  ReconcileWarps(*universe, changeLog);
  return universe;
}

void Run(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const Universe& universe = *games[data[0] % games.size()];
  const std::string map = WriteScratchFile(
      "game.map", std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  OutputFile changeLog(ScratchPath() + "game_changelog.txt");
  WriteMapChanges(CompareMapFile(universe, map, MapChangesDetail::atlas), map, changeLog);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  SilenceConsole();
  games.push_back(MergedGame(300, GameProfile::realistic));
  games.push_back(MergedGame(100, GameProfile::wide));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return RunFuzzInput(data, size, Run);
}
