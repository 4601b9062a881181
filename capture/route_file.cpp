#include "capture/route_file.h"

#include <algorithm>

#include "progress/progress.h"
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

// A route applied word by word as its lines arrive, so that memory stays within
// one line however long the route runs. The walk is the one of the whole route
// text: warps are added hop by hop, and a word that is no number stops the walk
// (the warps before it stay) and takes the route out of the count.
class RouteWalk {
 public:
  explicit RouteWalk(bool applied) : applied_(applied) {}

  // The words of one line of the route: "(", ")" and ">" separate like blanks.
  void AddLine(Universe& universe, std::uint16_t n, std::string_view line,
               std::uint16_t& spinner) {
    std::size_t pos = 0;
    while (applied_ && !stopped_) {
      while (pos < line.size() && IsSeparator(line[pos])) ++pos;
      if (pos == line.size()) return;
      const std::size_t start = pos;
      while (pos < line.size() && !IsSeparator(line[pos])) ++pos;
      AddWord(universe, n, line.substr(start, pos - start), spinner);
    }
  }

  // The hops to count when the route is closed: none when it is not applied or
  // a word stopped it.
  std::uint64_t CountedHops() const { return applied_ && !stopped_ ? hops_ : 0; }

 private:
  static bool IsSeparator(char c) { return c == ' ' || c == '(' || c == ')' || c == '>'; }

  void AddWord(Universe& universe, std::uint16_t n, std::string_view word,
               std::uint16_t& spinner) {
    const std::optional<std::uint16_t> sector = TextToWord(word);
    if (!sector) {
      stopped_ = true;
      return;
    }
    if (!started_) {
      started_ = true;
      from_ = *sector;
      return;
    }
    const std::uint16_t t = *sector;
    spinner = ProgressTick(spinner, 500);
    if (from_ >= 1 && from_ <= n && t >= 1 && t <= n) AddRouteWarp(universe, from_, t);
    from_ = t;
    ++hops_;
  }

  bool applied_;
  bool started_ = false;
  bool stopped_ = false;
  std::uint16_t from_ = 0;
  std::uint64_t hops_ = 0;
};

bool OpensRoute(std::string_view line) { return line.substr(0, 4) == "TO >"; }

// The line number (from 0) of the prompt that opens a route still open when
// the file ends, which is therefore not applied; nothing when every route is
// closed. Only the last route of a file can be left open.
std::optional<std::uint64_t> UnclosedRouteStart(const std::string& fileName) {
  LineReader reader;
  if (!reader.Open(fileName)) return std::nullopt;
  std::optional<std::uint64_t> openedAt;
  std::string_view raw;
  for (std::uint64_t index = 0; reader.Next(raw); ++index) {
    const std::string_view line = TrimLine(raw);
    if (line.empty()) {
      openedAt.reset();
    } else if (!openedAt && OpensRoute(line)) {
      openedAt = index;
    }
  }
  return openedAt;
}

}  // namespace

void ReadRouteFile(Universe& universe, const std::string& fileName, OutputFile& changeLog) {
  const std::uint16_t n = universe.size();
  LineReader reader;
  if (!reader.Open(fileName)) return;

  changeLog.Write(" ");
  changeLog.Write(fileName);
  changeLog.Write(": ");
  AnnounceFile("reading ztm file: ", fileName);

  // A first pass finds the route left open at the end, which is not applied;
  // the second applies every other route as its lines come.
  const std::optional<std::uint64_t> unclosed = UnclosedRouteStart(fileName);
  std::uint16_t spinner = ProgressTick(0, 500);
  std::optional<RouteWalk> route;  // the open route, if any
  std::uint64_t count = 0;
  std::string_view raw;
  for (std::uint64_t index = 0; reader.Next(raw); ++index) {
    const std::string_view line = TrimLine(raw);
    if (line.empty()) {
      if (route) count += route->CountedHops();
      route.reset();
      continue;
    }
    if (route) {
      route->AddLine(universe, n, line, spinner);
    } else if (OpensRoute(line)) {
      route.emplace(index != unclosed);
    }
  }
  EndPhaseLine();

  std::string tail;
  AppendRight(tail, static_cast<std::int64_t>(count));
  tail += " sectors read.";
  changeLog.WriteLine(tail);
}
