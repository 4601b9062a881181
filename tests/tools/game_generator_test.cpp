// The game generator: same seed, same bytes; the realistic game's files follow
// the readers' rules and have the promised shape; the other profiles hold what
// they are for.
#include "tools/game_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <stdexcept>

#include "tests/test_util.h"
#include "text/text.h"

namespace {

using Files = std::map<std::string, std::string>;

Files Generate(GameProfile profile, std::uint32_t n, std::uint64_t seed, bool second = false) {
  GameOptions options;
  options.gameName = "g";
  options.sectorCount = n;
  options.seed = seed;
  options.profile = profile;
  options.secondCapture = second;
  Files files;
  for (GameFile& file : GenerateGame(options)) files[file.name] = std::move(file.bytes);
  return files;
}

// Lines of a file in which every line ends in CR LF and holds no other CR, LF or tab.
std::vector<std::string> CleanLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t end = bytes.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a line without CR LF at the end";
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n\t"), std::string::npos) << lines.back();
    start = end + 2;
  }
  return lines;
}

// Lines of a file split at CR LF, LF or a lone CR, as the hostile game is checked.
std::vector<std::string> AnyLines(const std::string& bytes) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += bytes[i];
    }
  }
  return lines;
}

std::vector<std::string_view> Words(std::string_view line, char delimiter = ' ') {
  std::vector<std::string_view> words;
  std::uint32_t count = WordCount(line, delimiter);
  for (std::uint32_t i = 1; i <= count; ++i) words.push_back(ExtractWord(line, i, delimiter));
  return words;
}

// Warp lists of a sector capture; a sector without a line of two words has none.
// Every line of two or more words must be integers in 1..n: a sector listed
// once, its warps ascending, without duplicates or itself.
struct Capture {
  std::vector<std::uint8_t> listed;
  std::vector<std::vector<std::uint16_t>> warps;
  std::size_t count = 0;
};

Capture ParseSectors(const std::string& bytes, std::uint32_t n) {
  Capture capture{std::vector<std::uint8_t>(n + 1, 0), std::vector<std::vector<std::uint16_t>>(n + 1)};
  for (const std::string& line : CleanLines(bytes)) {
    std::vector<std::string_view> words = Words(TrimLine(line));
    if (words.size() < 2) {
      EXPECT_TRUE(words.empty() || words[0] == ":" || TextToInt(words[0], 1, n)) << line;
      continue;
    }
    std::vector<std::uint16_t> numbers;
    for (std::string_view word : words) {
      auto value = TextToInt(word, 1, n);
      EXPECT_TRUE(value.has_value()) << "not a sector in 1.." << n << ": " << line;
      if (value) numbers.push_back(static_cast<std::uint16_t>(*value));
    }
    if (numbers.size() != words.size()) continue;
    std::uint16_t s = numbers[0];
    EXPECT_FALSE(capture.listed[s]) << "listed twice: " << line;
    capture.listed[s] = 1;
    capture.warps[s].assign(numbers.begin() + 1, numbers.end());
    const auto& list = capture.warps[s];
    EXPECT_TRUE(std::adjacent_find(list.begin(), list.end(), std::greater_equal<>()) == list.end())
        << "not ascending or a duplicate: " << line;
    EXPECT_TRUE(std::find(list.begin(), list.end(), s) == list.end()) << "self warp: " << line;
    ++capture.count;
  }
  return capture;
}

struct PortLine {
  std::uint16_t sector = 0;
  std::uint8_t buying = 0;
};

// Port lines: a sector in 1..n and exactly three product groups, each "-" and an
// amount or a signed amount, then a percentage 0..100 followed by "%".
std::vector<PortLine> ParsePorts(const std::string& bytes, std::uint32_t n) {
  std::vector<PortLine> ports;
  for (const std::string& line : CleanLines(bytes)) {
    std::vector<std::string_view> words = Words(TrimLine(line));
    if (words.size() < 2) {
      EXPECT_TRUE(words.empty() || words[0] == ":") << line;
      continue;
    }
    PortLine port;
    auto sector = TextToInt(words[0], 1, n);
    EXPECT_TRUE(sector.has_value()) << line;
    port.sector = static_cast<std::uint16_t>(sector.value_or(0));
    std::size_t at = 1;
    bool complete = true;
    for (int k = 0; k < 3 && complete; ++k) {
      bool dash = at < words.size() && words[at] == "-";
      at += dash;
      complete = at + 1 < words.size();
      if (!complete) break;
      auto amount = TextToInt(words[at], dash ? 0 : -65535, 65535);
      EXPECT_TRUE(amount.has_value()) << line;
      if (dash || amount.value_or(0) < 0) port.buying |= static_cast<std::uint8_t>(1 << k);
      std::string_view percent = words[at + 1];
      EXPECT_EQ(percent.back(), '%') << line;
      EXPECT_TRUE(TextToInt(percent.substr(0, percent.size() - 1), 0, 100)) << line;
      at += 2;
    }
    EXPECT_TRUE(complete) << "too few groups: " << line;
    EXPECT_EQ(at, words.size()) << "words after the third group: " << line;
    ports.push_back(port);
  }
  return ports;
}

// The /al:, /ry:, /sd: and /d: sectors of the command line.
std::vector<std::uint16_t> Specials(const std::string& command) {
  std::vector<std::uint16_t> sectors;
  for (std::string_view word : Words(TrimLine(command))) {
    for (std::string_view key : {"/al:", "/ry:", "/sd:", "/d:"}) {
      if (word.substr(0, key.size()) != key) continue;
      for (std::string_view number : Words(word.substr(key.size()), ';')) {
        if (auto value = TextToInt(number, 1, 65535)) sectors.push_back(static_cast<std::uint16_t>(*value));
      }
    }
  }
  return sectors;
}

// Sectors reached from `from` over listed warps; `backwards` follows them in reverse.
std::vector<std::uint8_t> Reach(const Capture& capture, std::uint16_t from, bool backwards) {
  const std::size_t size = capture.listed.size();
  std::vector<std::vector<std::uint16_t>> edges(size);
  for (std::size_t s = 1; s < size; ++s) {
    for (std::uint16_t t : capture.warps[s]) {
      if (backwards) {
        edges[t].push_back(static_cast<std::uint16_t>(s));
      } else {
        edges[s].push_back(t);
      }
    }
  }
  std::vector<std::uint8_t> seen(size, 0);
  std::vector<std::uint16_t> queue = {from};
  seen[from] = 1;
  for (std::size_t i = 0; i < queue.size(); ++i) {
    for (std::uint16_t t : edges[queue[i]]) {
      if (!seen[t]) {
        seen[t] = 1;
        queue.push_back(t);
      }
    }
  }
  return seen;
}

// Depths of the pockets peeled from the dead ends over two-way warps between
// listed sectors, the way the bubble analysis finds them.
std::set<int> BubbleDepths(const Capture& capture) {
  const std::size_t size = capture.listed.size();
  std::vector<std::vector<std::uint16_t>> twoWay(size);
  for (std::size_t s = 1; s < size; ++s) {
    for (std::uint16_t t : capture.warps[s]) {
      const auto& back = capture.warps[t];
      if (std::find(back.begin(), back.end(), s) != back.end()) twoWay[s].push_back(t);
    }
  }
  std::vector<int> depth(size, 0);
  std::set<int> depths;
  for (int pass = 1; pass < 1000; ++pass) {
    bool changed = false;
    for (std::size_t s = 1; s < size; ++s) {
      if (depth[s] != 0 || !capture.listed[s]) continue;
      int open = 0;
      for (std::uint16_t t : twoWay[s]) open += depth[t] == 0 || depth[t] == pass;
      if (open == 1) {
        depth[s] = pass;
        depths.insert(pass);
        changed = true;
      }
    }
    if (!changed) break;
  }
  return depths;
}

// The first line in which two texts differ, for a readable failure.
std::string FirstDifference(const std::string& want, const std::string& got) {
  std::size_t at = 0;
  while (at < want.size() && at < got.size() && want[at] == got[at]) ++at;
  std::size_t start = want.rfind('\n', at == 0 ? 0 : at - 1);
  start = start == std::string::npos ? 0 : start + 1;
  std::size_t line = static_cast<std::size_t>(std::count(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(start), '\n')) + 1;
  auto cut = [&](const std::string& text) { return text.substr(start, std::min<std::size_t>(120, text.find_first_of("\r\n", start) - start)); };
  return "line " + std::to_string(line) + ": want \"" + cut(want) + "\", got \"" + cut(got) + "\"";
}

}  // namespace

TEST(GameGenerator, SameOptionsGiveTheSameBytes) {
  for (GameProfile profile : {GameProfile::realistic, GameProfile::hostile}) {
    EXPECT_EQ(Generate(profile, 1000, 11), Generate(profile, 1000, 11));
    EXPECT_EQ(Generate(profile, 1000, 11, true), Generate(profile, 1000, 11, true));
    EXPECT_NE(Generate(profile, 1000, 11)["g.sct"], Generate(profile, 1000, 12)["g.sct"]);
  }
}

// The committed sample is what the documented command writes: this also pins
// the generator's output across compilers and standard libraries.
TEST(GameGenerator, CommittedSampleIsWhatTheToolWrites) {
  GameOptions options;
  options.gameName = "sample";
  options.sectorCount = 300;
  options.seed = 2002;
  const std::string dir = std::string(KORVAN_SOURCE_DIR) + "/examples/sample/";
  for (const GameFile& file : GenerateGame(options)) {
    const std::string committed = ReadFile(dir + file.name);
    if (file.name == "sample.cmd") {
      // The committed sample.cmd is the one a double-click runs: it runs the
      // generated command line with the korvan2a it finds, and /pause+.
      ASSERT_TRUE(file.bytes.starts_with("korvan2a /") && file.bytes.ends_with("\r\n")) << file.bytes;
      const std::string parameters = file.bytes.substr(8, file.bytes.size() - 10);
      EXPECT_NE(committed.find("\r\n%korvan%" + parameters + " /pause+\r\n"), std::string::npos)
          << committed;
      continue;
    }
    EXPECT_TRUE(file.bytes == committed) << file.name << " " << FirstDifference(committed, file.bytes);
  }
  options.secondCapture = true;
  for (const GameFile& file : GenerateGame(options)) {
    const std::string committed = ReadFile(dir + "second/" + file.name);
    EXPECT_TRUE(file.bytes == committed) << "second/" << file.name << " " << FirstDifference(committed, file.bytes);
  }
}

TEST(GameGenerator, WritesTheFileSetAndTheCommandLine) {
  GameOptions options;
  options.gameName = "alpha";
  options.sectorCount = 500;
  std::vector<std::string> names;
  for (const GameFile& file : GenerateGame(options)) names.push_back(file.name);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha.sct", "alpha.prt", "alpha_ref.sct",
                                             "alpha_ref.prt", "alpha_figs.txt", "alpha_log.txt",
                                             "alpha_notes.txt", "alpha.ztm", "alpha.cmd"}));
  const std::string command = GenerateGame(options).back().bytes;
  EXPECT_EQ(command.substr(0, 28), "korvan2a /g:alpha /n:500 /al");
  EXPECT_NE(command.find(" /m:alpha.ztm\r\n"), std::string::npos) << command;
  options.secondCapture = true;
  names.clear();
  for (const GameFile& file : GenerateGame(options)) names.push_back(file.name);
  EXPECT_EQ(names, (std::vector<std::string>{"alpha.sct", "alpha.prt"}));
}

TEST(GameGenerator, RejectsSizesAndNamesItCannotWrite) {
  GameOptions options;
  options.sectorCount = kMinGameSectors - 1;
  EXPECT_THROW(GenerateGame(options), std::invalid_argument);
  options.sectorCount = kMaxGameSectors + 1;
  EXPECT_THROW(GenerateGame(options), std::invalid_argument);
  options.sectorCount = 200;
  options.gameName = "dir/game";
  EXPECT_THROW(GenerateGame(options), std::invalid_argument);
  EXPECT_EQ(ParseGameProfile("star"), GameProfile::star);
  EXPECT_EQ(ParseGameProfile("Star"), std::nullopt);
}

TEST(GameGenerator, RealisticFilesFollowTheReadersRules) {
  const std::uint32_t n = 2000;
  Files files = Generate(GameProfile::realistic, n, 5);
  Files second = Generate(GameProfile::realistic, n, 5, true);
  Capture first = ParseSectors(files["g.sct"], n);
  ParseSectors(files["g_ref.sct"], n);
  ParseSectors(second["g.sct"], n);
  for (const std::string* ports : {&files["g.prt"], &files["g_ref.prt"], &second["g.prt"]}) {
    EXPECT_FALSE(ParsePorts(*ports, n).empty());
  }
  for (const std::string& line : CleanLines(files["g_figs.txt"])) {
    EXPECT_TRUE(TextToInt(line, 1, n)) << line;
  }
  std::size_t ignored = 0;
  for (const std::string& line : CleanLines(files["g_log.txt"])) {
    if (line[0] == ';') continue;
    EXPECT_TRUE(TextToInt(Words(line, ':')[0], 1, n)) << line;
    ignored += line.find("IGNORE") != std::string::npos;
  }
  EXPECT_GE(ignored, 2u);
  std::vector<std::string> notes = CleanLines(files["g_notes.txt"]);
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back(), "--- end of notes ---");
  for (std::size_t i = 0; i + 1 < notes.size(); ++i) {
    EXPECT_TRUE(notes[i][0] == ';' || TextToInt(Words(notes[i], ':')[0], 1, n)) << notes[i];
  }
  // Every route lies on warps the capture lists where it passes explored sectors.
  std::vector<std::string> route = CleanLines(files["g.ztm"]);
  std::size_t hops = 0;
  for (std::size_t i = 0; i < route.size(); ++i) {
    if (TrimLine(route[i]).substr(0, 4) != "TO >") continue;
    std::string path;
    for (++i; i < route.size() && !route[i].empty(); ++i) path += " " + route[i];
    std::replace_if(path.begin(), path.end(), [](char c) { return c == '(' || c == ')' || c == '>'; }, ' ');
    std::vector<std::string_view> words = Words(path);
    for (std::size_t k = 0; k + 1 < words.size(); ++k) {
      auto s = TextToInt(words[k], 1, n);
      auto t = TextToInt(words[k + 1], 1, n);
      ASSERT_TRUE(s && t) << path;
      const auto& list = first.warps[*s];
      EXPECT_TRUE(!first.listed[*s] || std::find(list.begin(), list.end(), *t) != list.end()) << path;
      ++hops;
    }
  }
  EXPECT_GE(hops, 10u);
}

TEST(GameGenerator, RealisticUniverseHasThePromisedShape) {
  const std::uint32_t n = 5000;
  Files files = Generate(GameProfile::realistic, n, 3);
  Capture first = ParseSectors(files["g.sct"], n);
  Capture reference = ParseSectors(files["g_ref.sct"], n);
  Capture second = ParseSectors(Generate(GameProfile::realistic, n, 3, true)["g.sct"], n);

  EXPECT_EQ(first.warps[1], (std::vector<std::uint16_t>{2, 3, 4, 5, 6, 7}));
  for (std::uint16_t s = 2; s <= 10; ++s) {
    EXPECT_GE(std::count_if(first.warps[s].begin(), first.warps[s].end(), [](auto t) { return t <= 10; }), 3)
        << "fed sector " << s;
  }
  std::size_t between = 0;
  std::size_t oneWay = 0;
  std::size_t unexploredTargets = 0;
  for (std::uint32_t s = 1; s <= n; ++s) {
    if (!first.listed[s]) continue;
    EXPECT_GE(first.warps[s].size(), 1u);
    EXPECT_LE(first.warps[s].size(), 6u);
    for (std::uint16_t t : first.warps[s]) {
      if (!first.listed[t]) {
        ++unexploredTargets;
        continue;
      }
      ++between;
      const auto& back = first.warps[t];
      oneWay += std::find(back.begin(), back.end(), s) == back.end();
    }
  }
  EXPECT_GE(oneWay * 100, between * 5);
  EXPECT_LE(oneWay * 100, between * 10);
  EXPECT_GT(unexploredTargets, 0u);

  std::vector<PortLine> ports = ParsePorts(files["g.prt"], n);
  EXPECT_GE(ports.size() * 4, first.count);
  EXPECT_LE(ports.size() * 3, first.count);
  std::set<int> classes;
  for (const PortLine& port : ports) classes.insert(port.buying);
  EXPECT_EQ(classes.size(), 8u);

  std::set<int> depths = BubbleDepths(second);
  EXPECT_GE(depths.size(), 6u);
  EXPECT_GE(*depths.rbegin(), 10);

  // The reference copy explored less, the later capture more.
  EXPECT_LT(reference.count, first.count);
  EXPECT_LT(first.count, second.count);
  bool refOnly = false;
  for (std::uint32_t s = 1; s <= n; ++s) {
    refOnly = refOnly || (reference.listed[s] && !first.listed[s]);
    if (first.listed[s]) {
      EXPECT_TRUE(second.listed[s]) << s;
    }
  }
  EXPECT_TRUE(refOnly) << "the reference copy fills no gap";
}

TEST(GameGenerator, SpecialsAreReachableBothWaysInTheFirstCapture) {
  for (GameProfile profile : {GameProfile::realistic, GameProfile::chain, GameProfile::star, GameProfile::wide}) {
    const std::uint32_t n = 2000;
    Files files = Generate(profile, n, 7);
    Capture first = ParseSectors(files["g.sct"], n);
    std::vector<std::uint16_t> specials = Specials(files["g.cmd"]);
    EXPECT_GE(specials.size(), 5u);
    std::vector<std::uint8_t> fromTerra = Reach(first, 1, false);
    std::vector<std::uint8_t> toTerra = Reach(first, 1, true);
    for (std::uint16_t s : specials) {
      ASSERT_LE(s, n);
      EXPECT_TRUE(fromTerra[s] && toTerra[s] && first.listed[s]) << "sector " << s;
    }
  }
}

TEST(GameGenerator, StardockIsASpecialPortCandidate) {
  const std::uint32_t n = 2000;
  Files files = Generate(GameProfile::realistic, n, 9);
  Capture first = ParseSectors(files["g.sct"], n);
  const std::uint16_t stardock = Specials(files["g.cmd"])[2];
  EXPECT_EQ(first.warps[stardock].size(), 6u);
  bool oneWayIn = false;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const auto& list = first.warps[s];
    const auto& back = first.warps[stardock];
    oneWayIn = oneWayIn || (std::find(list.begin(), list.end(), stardock) != list.end() &&
                            std::find(back.begin(), back.end(), s) == back.end());
  }
  EXPECT_TRUE(oneWayIn);
  for (const PortLine& port : ParsePorts(files["g.prt"], n)) EXPECT_NE(port.sector, stardock);
}

TEST(GameGenerator, HostileGameHoldsEveryOddity) {
  const std::uint32_t n = 1000;
  Files files = Generate(GameProfile::hostile, n, 4);
  const std::string& sct = files["g.sct"];
  EXPECT_NE(sct.back(), '\n') << "the last line ends without a line end";
  bool loneCr = false;
  bool loneLf = false;
  for (std::size_t i = 0; i < sct.size(); ++i) {
    loneCr = loneCr || (sct[i] == '\r' && i + 1 < sct.size() && sct[i + 1] != '\n');
    loneLf = loneLf || (sct[i] == '\n' && sct[i - 1] != '\r');
  }
  EXPECT_TRUE(loneCr && loneLf);
  std::map<std::string, bool> seen;
  for (const std::string& line : AnyLines(sct)) {
    std::string_view text = TrimLine(line);
    std::vector<std::string_view> words = Words(text);
    seen["blank"] = seen["blank"] || text.empty();
    seen["tab"] = seen["tab"] || text.find('\t') != std::string_view::npos;
    seen["long"] = seen["long"] || line.size() > 65536;
    seen["300 warps"] = seen["300 warps"] || words.size() > 256;
    if (words.size() < 2) continue;
    auto sector = TextToInt(words[0], -100000, 100000);
    seen["sector out of range"] = seen["sector out of range"] || (sector && (*sector < 1 || *sector > n));
    std::set<std::string_view> targets;
    for (std::size_t i = 1; i < words.size(); ++i) {
      auto t = TextToInt(words[i], -100000, 100000);
      seen["bad number"] = seen["bad number"] || !t;
      seen["warp out of range"] = seen["warp out of range"] || (t && (*t < 1 || *t > n));
      seen["self"] = seen["self"] || words[i] == words[0];
      seen["duplicate"] = seen["duplicate"] || !targets.insert(words[i]).second;
    }
  }
  for (const auto& [oddity, found] : seen) EXPECT_TRUE(found) << oddity;
  EXPECT_EQ(seen.size(), 9u);

  const std::string& prt = files["g.prt"];
  for (std::string_view needle : {"300%", "70000", " -0 ", "extra words"}) {
    EXPECT_NE(prt.find(needle), std::string::npos) << needle;
  }
  EXPECT_NE(files["g_figs.txt"].find(" \r\n"), std::string::npos);
  EXPECT_NE(files["g_log.txt"].find(": ignore this"), std::string::npos);
  std::vector<std::string> notes = AnyLines(files["g_notes.txt"]);
  EXPECT_NE(std::find(notes.begin(), notes.end() - 2, ""), notes.end() - 2) << "no empty line ends the notes";
  EXPECT_NE(files["g.ztm"].find("to > "), std::string::npos);
  EXPECT_NE(files["g.cmd"].find(";x;0;1001;"), std::string::npos);
}

TEST(GameGenerator, AdversarialProfilesHoldWhatTheyAreFor) {
  // chain: every sector explored at last, all outside fed space on one line.
  Capture chain = ParseSectors(Generate(GameProfile::chain, 3000, 2, true)["g.sct"], 3000);
  EXPECT_EQ(chain.count, 3000u);
  for (std::uint32_t s = 11; s <= 3000; ++s) EXPECT_LE(chain.warps[s].size(), 2u) << s;
  EXPECT_GE(BubbleDepths(chain).size(), 255u);

  // star: one gate of more than 200 warps, dead ends by the thousand.
  Capture star = ParseSectors(Generate(GameProfile::star, 5000, 2, true)["g.sct"], 5000);
  std::size_t gates = 0;
  std::size_t deadEnds = 0;
  for (const auto& list : star.warps) {
    gates += list.size() > 200;
    deadEnds += list.size() == 1;
  }
  EXPECT_EQ(gates, 1u);
  EXPECT_GE(deadEnds, 3000u);

  // wide: lists of 240 to 255 warps, one of exactly 255 that a one-way warp enters.
  Capture wide = ParseSectors(Generate(GameProfile::wide, 8000, 2)["g.sct"], 8000);
  std::size_t hubs = 0;
  bool fullAndEntered = false;
  for (std::uint16_t s = 1; s <= 8000; ++s) {
    hubs += wide.warps[s].size() >= 240;
    const auto& list = wide.warps[s];
    for (std::uint16_t t = 1; t <= 8000 && list.size() == 255; ++t) {
      const auto& in = wide.warps[t];
      fullAndEntered = fullAndEntered || (std::find(in.begin(), in.end(), s) != in.end() &&
                                          std::find(list.begin(), list.end(), t) == list.end());
    }
  }
  EXPECT_GE(hubs, 8000u / 400);
  EXPECT_TRUE(fullAndEntered);
}
