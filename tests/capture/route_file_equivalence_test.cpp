// The route file reader applies each route as its lines arrive; here the
// literal reading (collect the whole route text, apply it when the blank line
// closes it) is kept and both are compared on many generated route files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "capture/route_file.h"
#include "tests/capture/side_inputs_util.h"
#include "tests/test_util.h"
#include "text/text.h"
#include "universe/universe.h"

namespace {

void LiteralAddWarp(Universe& universe, std::uint16_t s, std::uint16_t t) {
  std::optional<WarpList>& warps = universe[s].warps;
  if (!warps) {
    warps.emplace();
    warps->targets.push_back(t);
    warps->kinds.push_back(oneWayOut);
    return;
  }
  std::vector<std::uint16_t>& targets = warps->targets;
  if (std::find(targets.begin(), targets.end(), t) != targets.end()) return;
  if (targets.size() >= kMaxWarps) return;
  targets.insert(std::find_if(targets.begin(), targets.end(), [t](auto x) { return x > t; }), t);
  warps->kinds.assign(targets.size(), oneWayOut);
  warps->inCount = 0;
}

// Words of the route text split on blanks: word 1 is the start, every further
// word a hop; a word that is no number stops the walk and the count.
std::uint64_t LiteralApplyRoute(Universe& universe, std::uint16_t n, const std::string& text) {
  std::optional<std::uint16_t> from = TextToWord(ExtractWord(text, 1, ' '));
  if (!from) return 0;
  std::uint16_t s = *from;
  std::uint64_t hops = 0;
  for (std::uint32_t w = 2;; ++w) {
    std::string_view word = ExtractWord(text, w, ' ');
    if (word.empty()) return hops;
    std::optional<std::uint16_t> to = TextToWord(word);
    if (!to) return 0;
    if (s >= 1 && s <= n && *to >= 1 && *to <= n) LiteralAddWarp(universe, s, *to);
    s = *to;
    ++hops;
  }
}

std::uint64_t LiteralReadRouteFile(Universe& universe, std::uint16_t n, const std::string& name) {
  LineReader reader;
  if (!reader.Open(name)) return 0;
  std::string route;
  bool open = false;
  std::uint64_t count = 0;
  std::string_view raw;
  while (reader.Next(raw)) {
    std::string_view line = TrimLine(raw);
    if (line.empty()) {
      if (open && !route.empty()) count += LiteralApplyRoute(universe, n, route);
      route.clear();
      open = false;
      continue;
    }
    if (open) {
      route += ' ';
      for (char c : line) route += (c == '(' || c == ')' || c == '>') ? ' ' : c;
    }
    if (line.substr(0, 4) == "TO >") open = true;
  }
  return count;
}

struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }
};

// A route file of prompts, path lines over one or more lines, blank lines of
// blanks and tabs, stray text, bad and out-of-range words and, sometimes, a
// route left open at the end.
std::string RouteFileText(Random& random, std::uint16_t n) {
  static const char* const kNoise[] = {"Command [TL=00:00:00]:", "to > 5", "TO >", "TO > TO >",
                                       "(>)", "abc", "70000", "-1", "\t", "  ", "5 >> 6",
                                       "TO > 1 > 2"};
  std::string text;
  const std::uint64_t lines = 1 + random.Below(60);
  for (std::uint64_t i = 0; i < lines; ++i) {
    switch (random.Below(6)) {
      case 0:
        text += "  TO > " + std::to_string(random.Below(n + 2u)) + "\r\n";
        break;
      case 1:
        text += random.Below(2) != 0 ? "\r\n" : " \t \n";
        break;
      case 2:
        text += kNoise[random.Below(std::size(kNoise))];
        text += "\n";
        break;
      default: {
        const std::uint64_t hops = random.Below(8);
        for (std::uint64_t h = 0; h <= hops; ++h) {
          if (h > 0) text += random.Below(4) == 0 ? " > (" : " > ";
          text += std::to_string(random.Below(5) == 0 ? random.Below(70000) : 1 + random.Below(n + 1u));
          if (random.Below(7) == 0) text += ")";
        }
        text += random.Below(3) == 0 ? "\n" : "\r\n";
      }
    }
  }
  if (random.Below(2) != 0) text += "\r\n";
  return text;
}

std::string Describe(const Universe& universe) {
  std::string text;
  for (std::uint32_t s = 1; s <= universe.size(); ++s) {
    const auto& warps = universe[static_cast<std::uint16_t>(s)].warps;
    if (!warps) continue;
    text += std::to_string(s) + ":";
    for (std::size_t i = 0; i < warps->targets.size(); ++i) {
      text += " " + std::to_string(warps->targets[i]) + "/" + std::to_string(warps->kinds[i]);
    }
    text += " in " + std::to_string(warps->inCount) + "\n";
  }
  return text;
}

}  // namespace

TEST(RouteFileEquivalence, StreamedRoutesMatchTheLiteralReading) {
  ScratchDir dir;
  const std::string name = dir / "game.ztm";
  Random random{2002};
  for (int round = 0; round < 600; ++round) {
    const auto n = static_cast<std::uint16_t>(5 + random.Below(40));
    WriteFile(name, RouteFileText(random, n));
    Universe literal = CreateUniverse(n, 5);
    Universe streamed = CreateUniverse(n, 5);
    // Some sectors start with a list, so routes insert into it.
    for (std::uint16_t s = 1; s <= n; s = static_cast<std::uint16_t>(s + 3)) {
      WarpList list;
      list.targets = {static_cast<std::uint16_t>(s % n + 1), 1};
      list.kinds = {oneWayOut, oneWayOut};
      literal[s].warps = list;
      streamed[s].warps = list;
    }
    const std::uint64_t count = LiteralReadRouteFile(literal, n, name);
    std::string changeLog;
    {
      ConsoleCapture quiet;
      OutputFile log(dir / "game_changelog.txt");
      ReadRouteFile(streamed, name, log);
      log.Commit();
      changeLog = ReadFile(dir / "game_changelog.txt");
    }
    ASSERT_EQ(changeLog, " " + name + ": " + std::to_string(count) + " sectors read.\r\n")
        << ReadFile(name);
    ASSERT_EQ(Describe(streamed), Describe(literal)) << ReadFile(name);
  }
}
