// The game's files put together: the world built once, then each file written
// by the clean or the hostile writer, each from its own random sequence.
#include "tools/game_generator.h"

#include <stdexcept>

#include "tools/generator/files.h"
#include "tools/generator/hostile.h"
#include "tools/generator/world.h"

using namespace generator;

std::optional<GameProfile> ParseGameProfile(std::string_view name) {
  if (name == "realistic") return GameProfile::realistic;
  if (name == "hostile") return GameProfile::hostile;
  if (name == "chain") return GameProfile::chain;
  if (name == "star") return GameProfile::star;
  if (name == "wide") return GameProfile::wide;
  return std::nullopt;
}

std::vector<GameFile> GenerateGame(const GameOptions& options) {
  if (options.sectorCount < kMinGameSectors || options.sectorCount > kMaxGameSectors) {
    throw std::invalid_argument("the sector count must lie in " + std::to_string(kMinGameSectors) +
                                ".." + std::to_string(kMaxGameSectors));
  }
  const std::string& game = options.gameName;
  if (game.empty() || game.find_first_of("/\\:") != std::string::npos) {
    throw std::invalid_argument("the game name must be a plain file name");
  }
  const World w = BuildWorld(options);
  const bool hostile = options.profile == GameProfile::hostile;
  const std::size_t capture = options.secondCapture ? 2 : 1;
  Rng sectorRng = FileRng(options.seed, 10 + capture);
  Rng portRng = FileRng(options.seed, 20 + capture);
  std::vector<GameFile> files;
  files.push_back({game + ".sct", hostile ? HostileSectorCapture(w, w.explored[capture], sectorRng)
                                          : SectorCapture(w, w.explored[capture])});
  files.push_back({game + ".prt", hostile ? HostilePortCapture(w, capture, portRng)
                                          : PortCapture(w, capture)});
  if (options.secondCapture) return files;

  Rng refRng = FileRng(options.seed, 3);
  Rng figRng = FileRng(options.seed, 4);
  Rng logRng = FileRng(options.seed, 5);
  Rng notesRng = FileRng(options.seed, 6);
  Rng routeRng = FileRng(options.seed, 7);
  files.push_back({game + "_ref.sct", ReferenceSectors(w)});
  files.push_back({game + "_ref.prt", ReferencePorts(w, refRng)});
  files.push_back({game + "_figs.txt", hostile ? HostileFigFile(w, figRng) : FigFile(w, figRng)});
  files.push_back({game + "_log.txt", hostile ? HostileLogFile(w, logRng) : LogFile(w, logRng)});
  files.push_back(
      {game + "_notes.txt", hostile ? HostileNotesFile(w, notesRng) : NotesFile(w, notesRng)});
  files.push_back({game + ".ztm", hostile ? HostileRouteFile(w, routeRng) : RouteFile(w, routeRng)});
  std::string references = ReferenceList(w);
  if (hostile) references += ";x;0;" + std::to_string(w.n + 1) + ";;";
  files.push_back({game + ".cmd", CommandLine(w, options, references)});
  return files;
}
