#include "capture/route_file.h"

#include <algorithm>

#include "app/progress.h"
#include "text/text.h"

namespace {

// Adds the warp s -> t unless s already lists t. The rebuilt list keeps its
// order with t before the first greater target. A list that already holds the
// most warps a sector can have takes no more.
void AddRouteWarp(Universe& universe, std::uint16_t s, std::uint16_t t) {
  std::optional<WarpList>& warps = universe[s].warps;
  if (!warps) {
    warps.emplace();
    warps->targets.push_back(t);
    warps->kinds.push_back(oneWayOut);
    warps->inCount = 0;
    return;
  }
  std::vector<std::uint16_t>& targets = warps->targets;
  if (std::find(targets.begin(), targets.end(), t) != targets.end()) return;
  if (targets.size() >= kMaxWarps) return;
  auto at = std::find_if(targets.begin(), targets.end(),
                         [t](std::uint16_t target) { return target > t; });
  targets.insert(at, t);
  warps->kinds.assign(targets.size(), oneWayOut);
  warps->inCount = 0;
}

// Walks the words of a collected route and adds the warp of every hop whose
// two ends are sectors of this universe. Returns the number of hops, or 0 when
// a word is not a number (the hops before it keep their warps).
std::uint64_t ApplyRoute(Universe& universe, std::uint16_t n, std::string_view text,
                         std::uint16_t& spinner) {
  std::string_view word = ExtractWord(text, 1, ' ');
  std::optional<std::uint16_t> from = TextToWord(word);
  if (!from) return 0;
  std::uint16_t s = *from;
  std::uint64_t hops = 0;
  for (;;) {
    text.remove_prefix(static_cast<std::size_t>(word.data() - text.data()) + word.size());
    word = ExtractWord(text, 1, ' ');
    if (word.empty()) return hops;
    std::optional<std::uint16_t> to = TextToWord(word);
    if (!to) return 0;
    std::uint16_t t = *to;
    spinner = ProgressTick(spinner, 500);
    if (s >= 1 && s <= n && t >= 1 && t <= n) AddRouteWarp(universe, s, t);
    s = t;
    ++hops;
  }
}

}  // namespace

void ReadRouteFile(Universe& universe, std::uint16_t n, const std::string& fileName,
                   OutputFile& changeLog) {
  LineReader reader;
  if (!reader.Open(fileName)) return;

  changeLog.Write(" ");
  changeLog.Write(fileName);
  changeLog.Write(": ");
  AnnounceFile("reading ztm file: ", fileName);

  std::uint16_t spinner = ProgressTick(0, 500);
  std::string route;
  bool open = false;
  std::uint64_t count = 0;
  std::string_view raw;
  while (reader.Next(raw)) {
    std::string_view line = TrimLine(raw);
    if (line.empty()) {
      if (open && !route.empty()) count += ApplyRoute(universe, n, route, spinner);
      route.clear();
      open = false;
      continue;
    }
    if (open) {
      // A path may run over several lines; "(", ")" and ">" only separate numbers.
      route += ' ';
      for (char c : line) route += (c == '(' || c == ')' || c == '>') ? ' ' : c;
    }
    if (line.substr(0, 4) == "TO >") open = true;
  }
  EndPhaseLine();

  std::string tail;
  AppendRight(tail, static_cast<std::int64_t>(count));
  tail += " sectors read.";
  changeLog.WriteLine(tail);
}
