// Writes a game directory to run korvan2a on: the two captures, the reference
// copies an earlier run left, figs, log, notes, a route file and the command line
// that suits the game.
//
// Output depends only on the options: the generator draws from its own
// splitmix64 sequence and never from the standard library's distributions, so a
// seed gives the same bytes with every compiler and standard library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kind of universe built.
//   realistic  fed space around terra, 1 to 6 warps per sector, about 7 % of
//              them one-way, bubbles of varied depth, ports in 29 % of sectors.
//   hostile    the realistic universe written with every oddity a reader must
//              survive (odd spacing, tabs, bad and out-of-range numbers, duplicate
//              and self warps, a list of 300 warps, CR-only and blank lines, a
//              line of 70000 characters), plus long one-way chains.
//   chain      every sector outside fed space on one long chain.
//   star       thousands of dead ends and small bubbles behind one gate.
//   wide       the realistic universe plus sectors with lists of 240 to 255 warps.
enum class GameProfile { realistic, hostile, chain, star, wide };

// "realistic", "hostile", "chain", "star" or "wide"; nothing for any other name.
std::optional<GameProfile> ParseGameProfile(std::string_view name);

constexpr std::uint32_t kMinGameSectors = 100;
constexpr std::uint32_t kMaxGameSectors = 20000;

struct GameOptions {
  std::string gameName = "game";  // base name of every file; no directory part
  std::uint32_t sectorCount = 20000;
  std::uint64_t seed = 1;
  GameProfile profile = GameProfile::realistic;
  // The later capture that explores more: only <game>.sct and <game>.prt, meant
  // to be written over the first capture's files.
  bool secondCapture = false;
};

struct GameFile {
  std::string name;   // file name without directory, such as "game.sct"
  std::string bytes;  // the whole file; text lines end in CR LF
};

// The game's files, in a fixed order: <game>.sct, <game>.prt, <game>_ref.sct,
// <game>_ref.prt, <game>_figs.txt, <game>_log.txt, <game>_notes.txt, <game>.ztm
// and <game>.cmd (the command line, "korvan2a /g:<game> /n:..."), to be run in
// the game's directory. With secondCapture, only the later <game>.sct and
// <game>.prt. Throws std::invalid_argument for a sector count outside
// kMinGameSectors..kMaxGameSectors or a game name that is empty or holds a
// directory separator.
std::vector<GameFile> GenerateGame(const GameOptions& options);
