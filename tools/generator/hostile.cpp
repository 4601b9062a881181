#include "tools/generator/hostile.h"

#include <array>
#include <string_view>

#include "tools/generator/files.h"

namespace generator {
namespace {

// Lines with the endings a badly saved capture has: mostly CR LF, some LF.
class HostileText {
 public:
  explicit HostileText(Rng& rng) : rng_(rng) {}
  void Add(std::string_view text) {
    bytes_ += text;
    bytes_ += rng_.Percent(15) ? "\n" : "\r\n";
  }
  void AddRaw(std::string_view text) { bytes_ += text; }
  std::string Take() { return std::move(bytes_); }

 private:
  Rng& rng_;
  std::string bytes_;
};

// Joins words with one blank, or with runs of blanks and tabs at the ends.
std::string Join(const std::vector<std::string>& words, Rng& rng) {
  bool odd = rng.Percent(30);
  std::string line;
  if (rng.Percent(10)) line += "  \t ";
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) line.append(odd ? 1 + rng.Below(4) : 1, ' ');
    line += words[i];
  }
  if (rng.Percent(10)) line += " \t ";
  return line;
}

std::string SectorJunk(const World& w, Rng& rng) {
  static constexpr std::array<std::string_view, 9> kJunk = {
      "", "   \t  ", "Sector", "0 1 2", "65536 3 4", "-7 1 2", "abc 1 2",
      "99999999999999999999 1", "Command ? :"};
  std::uint32_t r = rng.Below(kJunk.size() + 2);
  if (r == kJunk.size()) return std::to_string(w.n + 1) + " 1 2";
  if (r == kJunk.size() + 1) return "65535 " + std::to_string(w.n);
  return std::string(kJunk[r]);
}

// Spoils a non-forced sector's words in one of the ways a reader must survive.
void SpoilSectorWords(std::vector<std::string>& words, const World& w, std::uint16_t s, Rng& rng) {
  static constexpr std::array<std::string_view, 5> kBad = {"12a", "x", "1.5", "--3", "0x1F"};
  if (words.size() < 2) return;
  std::uint32_t r = rng.Below(100);
  std::size_t last = words.size() - 1;
  std::size_t pick = 1 + rng.Below(last);
  if (r < 3 && last >= 2) {
    std::size_t i = 1 + rng.Below(last - 1);
    words[i] += "\t" + words[i + 1];
    words.erase(words.begin() + static_cast<std::ptrdiff_t>(i + 1));
  } else if (r < 6) {
    words[pick] = std::string(kBad[rng.Below(kBad.size())]);
  } else if (r < 9) {
    const std::array<std::string, 5> outOfRange = {"0", std::to_string(w.n + 1), "65535", "65536",
                                                   "-1"};
    words.push_back(outOfRange[rng.Below(outOfRange.size())]);
  } else if (r < 12) {
    words.push_back(words[pick]);  // a duplicate warp
  } else if (r < 14) {
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(pick), std::to_string(s));  // self
  } else if (r < 16) {
    words[0] = rng.Percent(50) ? "+" + words[0] : "00" + words[0];
  } else if (r < 17) {
    words.resize(1);
  }
}

}  // namespace

std::string HostileSectorCapture(const World& w, const std::vector<std::uint8_t>& explored,
                                 Rng& rng) {
  std::vector<std::uint16_t> sectors = Sectors(w, explored);
  // The first index from `from` on of `run` sectors in a row that no forced
  // route needs, so that spoiling them keeps the specials reachable.
  auto ordinary = [&](std::size_t from, std::size_t run) {
    for (std::size_t i = from; i + run <= sectors.size(); ++i) {
      bool free = true;
      for (std::size_t k = i; k < i + run; ++k) free = free && !w.forced[sectors[k]];
      if (free) return i;
    }
    return sectors.size();
  };
  const std::size_t wideAt = ordinary(sectors.size() / 3, 1);
  const std::size_t longAt = ordinary(sectors.size() * 2 / 3, 1);
  const std::size_t carriageAt = ordinary(sectors.size() / 2, 3);
  HostileText out(rng);
  out.Add("\t");
  out.Add(":");
  for (std::size_t i = 0; i < sectors.size(); ++i) {
    const std::uint16_t s = sectors[i];
    if (rng.Percent(2)) out.Add(SectorJunk(w, rng));
    std::vector<std::string> words = {std::to_string(s)};
    for (std::uint16_t t : w.warps[s]) words.push_back(std::to_string(t));
    if (!w.forced[s]) SpoilSectorWords(words, w, s, rng);
    std::string line = Join(words, rng);
    if (i >= carriageAt && i < carriageAt + 2) {
      out.AddRaw(line + "\r");  // lines separated by a lone carriage return
    } else {
      out.Add(line);
    }
    if (i == wideAt) {  // a second line for the sector, listing 300 warps
      std::string wide = std::to_string(s);
      for (int k = 0; k < 300; ++k) {
        wide += ' ';
        wide += std::to_string(rng.Between(1, w.n));
      }
      out.Add(wide);
    }
    if (i == longAt) {  // the sector's line again, with 70000 blanks after its number
      std::string longLine = std::to_string(s) + std::string(70000, ' ');
      for (std::uint16_t t : w.warps[s]) longLine += std::to_string(t) + " ";
      out.Add(longLine);
    }
  }
  out.Add("");
  out.AddRaw(":");  // the last line has no line end
  return out.Take();
}

std::string HostilePortCapture(const World& w, std::size_t k, Rng& rng) {
  HostileText out(rng);
  std::array<std::uint32_t, 3> amount{};
  std::array<std::uint32_t, 3> percent{};
  out.Add(":");
  for (std::uint16_t s : Sectors(w, w.portListed[k])) {
    PortState(w.port[s], k, amount, percent);
    std::uint8_t buying = w.port[s].buying;
    std::vector<std::string> words = {std::to_string(s)};
    std::uint32_t r = rng.Below(100);
    for (std::size_t i = 0; i < 3; ++i) {
      bool buys = (buying >> i) & 1;
      std::string number = std::to_string(amount[i]);
      if (buys && r < 6) {
        words.push_back("-" + number);  // the signed form of a buying product
      } else {
        if (buys) words.push_back("-");
        if (!buys && r >= 20 && r < 22) number = "-0";
        if (r >= 24 && r < 26) number = "+" + number;
        words.push_back(number);
      }
      words.push_back(std::to_string(percent[i]) + "%");
    }
    if (r >= 6 && r < 10) {
      words.push_back("extra");
      words.push_back("words");
    } else if (r >= 10 && r < 13) {
      words.resize(words.size() - 2 - ((buying >> 2) & 1));  // no equipment group
    } else if (r >= 13 && r < 16) {
      words.back().pop_back();  // a percentage without its sign
    } else if (r >= 16 && r < 18) {
      words.back() = "300%";
    } else if (r >= 18 && r < 20) {
      words[words.size() - 2] = "70000";
    } else if (r >= 22 && r < 24) {
      words[1] += "\t" + words[2];
      words.erase(words.begin() + 2);
    } else if (r >= 26 && r < 28) {
      words.back() = "%";
    }
    out.Add(Join(words, rng));
    if (rng.Percent(3)) {
      // Junk and a second, differing line for the same port.
      static constexpr std::array<std::string_view, 5> kJunk = {
          "", "Sector  Class", "0 - 100 100% 200 50% 300 40%", "abc 10 10% 20 20% 30 30%",
          "70000 10 10% 20 20% 30 30%"};
      out.Add(kJunk[rng.Below(kJunk.size())]);
      out.Add(std::to_string(s) + " 100 100% -200 50% 300  40%");
    }
  }
  out.Add(std::to_string(w.n + 1) + " 10 10% 20 20% 30 30%");
  return out.Take();
}

std::string HostileFigFile(const World& w, Rng& rng) {
  HostileText out(rng);
  for (std::uint16_t s : FigSectors(w, rng)) {
    std::string number = std::to_string(s);
    std::uint32_t r = rng.Below(100);
    if (r < 10) {
      out.Add("  " + number);
    } else if (r < 20) {
      out.Add("\t" + number);
    } else if (r < 30) {
      out.Add(number + " ");
    } else if (r < 35) {
      out.Add(number + " 7");
    } else if (r < 40) {
      out.Add("+" + number);
    } else {
      out.Add(number);
    }
    if (rng.Percent(10)) {
      const std::array<std::string, 7> junk = {"abc", "0", "-3", std::to_string(w.n + 1),
                                               "65536", "", number};
      out.Add(junk[rng.Below(junk.size())]);
    }
  }
  return out.Take();
}

std::string HostileLogFile(const World& w, Rng& rng) {
  HostileText out(rng);
  std::string clean = LogFile(w, rng);
  for (std::size_t start = 0; start < clean.size();) {
    std::size_t end = clean.find("\r\n", start);
    out.Add(std::string_view(clean).substr(start, end - start));
    start = end + 2;
  }
  std::string s = std::to_string(RandomExplored(w, rng));
  for (const std::string& line :
       {s + ": IGNORE this", s + ": ignore this", std::string("no colon here"),
        std::string("99999: far away"), std::string("0: nowhere"), ";" + s + ": a comment",
        " ;" + s + ": not a comment", s + ":", s + "::x", std::string("abc: text"),
        s + ":xno blank", s + ": " + std::string(3000, 'z')}) {
    out.Add(line);
  }
  return out.Take();
}

std::string HostileNotesFile(const World& w, Rng& rng) {
  HostileText out(rng);
  std::string clean = NotesFile(w, rng);
  std::size_t stop = clean.find("--- end of notes ---");
  for (std::size_t start = 0; start < stop;) {
    std::size_t end = clean.find("\r\n", start);
    out.Add(std::string_view(clean).substr(start, end - start));
    start = end + 2;
  }
  std::string s = std::to_string(RandomExplored(w, rng));
  std::string t = std::to_string(RandomExplored(w, rng));
  for (const std::string& line :
       {s + ":", t + ":    ", std::string("   "), std::to_string(w.n + 1) + ": beyond the universe",
        ";" + s + ": a comment", std::string("x: y"), s + ": distance reference #2",
        t + "::: colons"}) {
    out.Add(line);
  }
  out.Add("");  // an empty line ends the notes: what follows is not read
  out.Add(s + ": after the empty line");
  out.Add("--- end of notes ---");
  return out.Take();
}

std::string HostileRouteFile(const World& w, Rng& rng) {
  HostileText out(rng);
  out.AddRaw(RouteFile(w, rng));
  std::string a = std::to_string(w.stardock);
  std::string b = std::to_string(w.alpha);
  std::string over = std::to_string(w.n + 1);
  out.Add("to > " + b);  // lower case opens nothing
  out.Add(a + " > " + b);
  out.Add("");
  out.Add("TO > " + b);
  out.Add(a + " > 12x > " + b);  // applied up to the bad word
  out.Add("");
  out.Add("TO > " + over);
  out.Add(a + " > " + over + " > " + b);  // the hops through n + 1 are skipped
  out.Add("TO > " + a);                   // a prompt inside an open route
  out.Add("");
  out.Add("TO > " + a);
  out.Add("");
  out.Add("TO > " + b);
  out.AddRaw(a + " > " + b);  // still open at the end of the file
  return out.Take();
}

}  // namespace generator
