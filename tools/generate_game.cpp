// generate_game: writes a game directory for korvan2a (see tools/game_generator.h).
//
//   generate_game --out DIR [--game NAME] [--sectors N] [--seed S]
//                 [--profile realistic|hostile|chain|star|wide] [--second]
#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/game_generator.h"

namespace {

constexpr std::string_view kUsage =
    "usage: generate_game --out DIR [--game NAME] [--sectors N] [--seed S]\n"
    "                     [--profile realistic|hostile|chain|star|wide] [--second]\n"
    "  --out      directory to write the game into (created when missing)\n"
    "  --game     game name, the base of every file name (default game)\n"
    "  --sectors  number of sectors, 100..20000 (default 20000)\n"
    "  --seed     seed of the generator (default 1)\n"
    "  --profile  kind of universe (default realistic)\n"
    "  --second   write only the later capture <game>.sct and <game>.prt, which\n"
    "             explores more, over the first\n";

int Fail(std::string_view message) {
  std::cerr << "generate_game: " << message << "\n" << kUsage;
  return 2;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
  GameOptions options;
  std::string outDir;
  for (int i = 1; i < argc; ++i) {
    std::string_view key = argv[i];
    if (key == "--second") {
      options.secondCapture = true;
      continue;
    }
    if (key == "--help" || key == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (i + 1 >= argc) return Fail(std::string(key) + " needs a value");
    std::string_view value = argv[++i];
    if (key == "--out") {
      outDir = value;
    } else if (key == "--game") {
      options.gameName = value;
    } else if (key == "--sectors") {
      if (!ParseNumber(value, options.sectorCount)) return Fail("--sectors needs a number");
    } else if (key == "--seed") {
      if (!ParseNumber(value, options.seed)) return Fail("--seed needs a number");
    } else if (key == "--profile") {
      auto profile = ParseGameProfile(value);
      if (!profile) return Fail("unknown profile " + std::string(value));
      options.profile = *profile;
    } else {
      return Fail("unknown option " + std::string(key));
    }
  }
  if (outDir.empty()) return Fail("--out is required");
  try {
    std::vector<GameFile> files = GenerateGame(options);
    std::filesystem::create_directories(outDir);
    for (const GameFile& file : files) {
      std::filesystem::path path = std::filesystem::path(outDir) / file.name;
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
      out.close();
      if (!out) {
        std::cerr << "generate_game: cannot write " << path.string() << "\n";
        return 1;
      }
      std::cout << path.string() << "\n";
    }
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  return 0;
}
