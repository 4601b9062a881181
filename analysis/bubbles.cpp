#include "analysis/bubbles.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "platform/console.h"
#include "progress/progress.h"

// The peeling works pass by pass as the players' description has it, but looks
// only at the sectors a pass can change: a sector joins a bubble in the pass
// after its count of two-way neighbours outside any bubble has dropped to one.
// Within a pass the decisions depend only on the records of earlier passes, so
// this gives the same records, gates, report and console text as visiting
// every sector in every pass.

namespace {

constexpr std::uint16_t kStep = 1000;
// Depth is a byte: the peeling stops after this pass even if it still added
// records, and the depth never wraps.
constexpr std::uint16_t kLastPass = 255;

class Peeling {
 public:
  Peeling(Universe& universe, std::uint16_t last) : universe_(universe), last_(last) {}

  // Runs every pass and returns D, the number of the last pass.
  std::uint16_t Run(std::uint16_t& progress);
  // Stores the final gates in the records.
  void StoreGates();
  // The sectors whose list names a sector without a list of its own, ascending.
  std::vector<std::uint16_t>& errorSectors() { return errorSectors_; }

 private:
  // True when t is a sector of the analysis with a warp list of its own.
  bool Listed(std::uint32_t t) const { return t < listed_.size() && listed_[t] != 0; }
  void Prepare();
  void RecordDeadEnd(std::uint16_t s);
  void RecordPeeled(std::uint16_t s, std::uint16_t pass);
  void Repoint(std::uint16_t from, std::uint16_t to);
  void ApplyPass(std::uint16_t& progress);

  Universe& universe_;
  std::uint16_t last_;
  // 1 for each sector 1..last with a warp list (entry 0 is sector 0): the lists
  // do not change while peeling, and a byte table spares a visit to the Sector.
  std::vector<std::uint8_t> listed_;
  // Two-way entries to listed sectors outside every bubble, as of the pass start.
  std::vector<std::uint16_t> open_;
  // For each sector t, the sectors holding a two-way entry to t (once per entry).
  std::vector<std::uint32_t> referrerStart_;
  std::vector<std::uint16_t> referrers_;
  // Sectors with entries to unlisted targets, ascending.
  std::vector<std::uint16_t> errorSectors_;
  // Records by their current gate; re-pointing moves a whole list.
  std::vector<std::vector<std::uint16_t>> members_;
  std::vector<std::uint16_t> candidates_;
  std::vector<std::uint16_t> added_;
  std::vector<std::uint16_t> stamp_;
};

void Peeling::Prepare() {
  const std::size_t size = static_cast<std::size_t>(last_) + 1;
  open_.assign(size, 0);
  referrerStart_.assign(size + 1, 0);
  members_.assign(size, {});
  stamp_.assign(size, 0);
  listed_.assign(size, 0);
  for (std::uint32_t s = 1; s <= last_; ++s) {
    listed_[s] = universe_[static_cast<std::uint16_t>(s)].warps ? 1 : 0;
  }
  for (std::uint32_t s = 1; s <= last_; ++s) {
    const auto& warps = universe_[static_cast<std::uint16_t>(s)].warps;
    if (!warps) continue;
    bool error = false;
    for (std::size_t j = 0; j < warps->targets.size(); ++j) {
      const std::uint16_t t = warps->targets[j];
      if (!Listed(t)) {
        error = true;
      } else if (warps->kinds[j] == twoWay) {
        ++open_[s];
        ++referrerStart_[t + 1];
      }
    }
    if (error) errorSectors_.push_back(static_cast<std::uint16_t>(s));
    if (open_[s] == 1) candidates_.push_back(static_cast<std::uint16_t>(s));
  }
  for (std::size_t t = 1; t < referrerStart_.size(); ++t)
    referrerStart_[t] += referrerStart_[t - 1];
  referrers_.resize(referrerStart_.back());
  std::vector<std::uint32_t> fill(referrerStart_.begin(), referrerStart_.end() - 1);
  for (std::uint32_t s = 1; s <= last_; ++s) {
    const auto& warps = universe_[static_cast<std::uint16_t>(s)].warps;
    if (!warps) continue;
    for (std::size_t j = 0; j < warps->targets.size(); ++j) {
      const std::uint16_t t = warps->targets[j];
      if (Listed(t) && warps->kinds[j] == twoWay)
        referrers_[fill[t]++] = static_cast<std::uint16_t>(s);
    }
  }
}

void Peeling::RecordDeadEnd(std::uint16_t s) {
  Sector& sector = universe_[s];
  const WarpList& warps = *sector.warps;
  std::uint32_t count = 0;
  std::uint16_t exit = 0;
  bool allExplored = true;
  for (std::size_t j = 0; j < warps.targets.size(); ++j) {
    const std::uint16_t t = warps.targets[j];
    if (!Listed(t)) continue;
    const std::uint32_t kind = warps.kinds[j];
    if (universe_[t].explored == 0 && kind != oneWayIn) allExplored = false;
    if (kind == twoWay) {
      ++count;
      exit = t;
    }
  }
  if (count != 1) return;
  sector.bubble =
      BubbleRecord{1, static_cast<std::uint8_t>(warps.inCount > 0 ? 1 : 0),
                   static_cast<std::uint8_t>(sector.explored == 1 && allExplored), exit};
  members_[exit].push_back(s);
  added_.push_back(s);
}

void Peeling::RecordPeeled(std::uint16_t s, std::uint16_t pass) {
  Sector& sector = universe_[s];
  const WarpList& warps = *sector.warps;
  std::uint32_t count = 0;
  std::uint16_t exit = 0;
  bool allExplored = true;
  bool nearCompromise = false;
  for (std::size_t j = 0; j < warps.targets.size(); ++j) {
    const std::uint16_t t = warps.targets[j];
    if (!Listed(t)) continue;
    const std::uint32_t kind = warps.kinds[j];
    const Sector& target = universe_[t];
    if (target.warps->inCount > 0 && kind != oneWayOut) nearCompromise = true;
    if (kind == twoWay && (!target.bubble || target.bubble->depth == pass)) {
      ++count;
      exit = t;
    } else if (kind == twoWay && target.bubble->explored == 0) {
      allExplored = false;
    }
    if (target.explored == 0) allExplored = false;
  }
  if (count != 1) return;
  const bool compromised = warps.inCount > 0 || nearCompromise;
  sector.bubble =
      BubbleRecord{static_cast<std::uint8_t>(pass), static_cast<std::uint8_t>(compromised ? 1 : 0),
                   static_cast<std::uint8_t>(allExplored ? 1 : 0), exit};
  members_[exit].push_back(s);
  added_.push_back(s);
  // The members below s follow it into the larger bubble when s is more than
  // a dead end towards its exit.
  for (std::size_t j = 0; j < warps.targets.size(); ++j) {
    if (warps.targets[j] != exit && warps.kinds[j] != oneWayOut) {
      Repoint(s, exit);
      break;
    }
  }
}

void Peeling::Repoint(std::uint16_t from, std::uint16_t to) {
  if (from == to) return;
  std::vector<std::uint16_t>& source = members_[from];
  std::vector<std::uint16_t>& target = members_[to];
  if (source.size() > target.size()) source.swap(target);
  target.insert(target.end(), source.begin(), source.end());
  source.clear();
}

// Brings the open counts to the state at the start of the next pass and
// collects the sectors whose count has just dropped to one.
void Peeling::ApplyPass(std::uint16_t& progress) {
  candidates_.clear();
  for (std::uint16_t t : added_) {
    for (std::uint32_t i = referrerStart_[t]; i < referrerStart_[t + 1]; ++i) {
      const std::uint16_t s = referrers_[i];
      if (universe_[s].bubble) continue;
      --open_[s];
      if (stamp_[s] == 0) {
        stamp_[s] = 1;
        candidates_.push_back(s);
      }
    }
  }
  std::size_t kept = 0;
  for (std::uint16_t s : candidates_) {
    stamp_[s] = 0;
    if (open_[s] == 1) candidates_[kept++] = s;
    progress = ProgressTick(progress, kStep);
  }
  candidates_.resize(kept);
  std::sort(candidates_.begin(), candidates_.end());
  added_.clear();
}

std::uint16_t Peeling::Run(std::uint16_t& progress) {
  Prepare();
  for (std::uint16_t s : candidates_) {
    RecordDeadEnd(s);
    progress = ProgressTick(progress, kStep);
  }
  for (std::uint16_t pass = 2;; ++pass) {
    ApplyPass(progress);
    const char digit = static_cast<char>('0' + (pass - 1) % 10);
    ConsoleWrite(std::string_view(&digit, 1));
    for (std::uint16_t s : candidates_) {
      RecordPeeled(s, pass);
      progress = ProgressTick(progress, kStep);
    }
    if (added_.empty() || pass == kLastPass) return pass;
  }
}

void Peeling::StoreGates() {
  for (std::size_t g = 1; g < members_.size(); ++g) {
    for (std::uint16_t u : members_[g]) universe_[u].bubble->gate = static_cast<std::uint16_t>(g);
  }
}

}  // namespace

Bubbles AnalyseBubbles(Universe& universe, const std::string& reportName) {
  const std::uint16_t n = universe.size();
  AnnounceFile("writing bubble report: ", reportName);
  // Records of an earlier call would count as bubbles found in this one.
  for (std::uint32_t s = 1; s <= n; ++s) universe[static_cast<std::uint16_t>(s)].bubble.reset();

  Bubbles found;
  std::uint16_t progress = ProgressTick(0, kStep);
  ConsoleWrite("0");
  Peeling peeling(universe, n);
  found.passes = peeling.Run(progress);
  peeling.StoreGates();
  found.errorSectors = std::move(peeling.errorSectors());

  // Members of each gate in ascending order.
  std::vector<std::uint32_t>& memberStart = found.memberStart;
  memberStart.assign(static_cast<std::size_t>(n) + 2, 0);
  for (std::uint32_t u = 1; u <= n; ++u) {
    const auto& bubble = universe[static_cast<std::uint16_t>(u)].bubble;
    if (bubble) ++memberStart[bubble->gate + 1u];
  }
  for (std::size_t g = 1; g < memberStart.size(); ++g) memberStart[g] += memberStart[g - 1];
  found.members.resize(memberStart.back());
  {
    std::vector<std::uint32_t> fill(memberStart.begin(), memberStart.end() - 1);
    for (std::uint32_t u = 1; u <= n; ++u) {
      const auto& bubble = universe[static_cast<std::uint16_t>(u)].bubble;
      if (bubble) found.members[fill[bubble->gate]++] = static_cast<std::uint16_t>(u);
    }
  }

  // A gate's bubble depth is the deepest of its neighbours that name it as
  // gate; each gate is listed once, in the section of that depth.
  std::array<std::vector<std::uint16_t>, 256> gatesByDepth;
  for (std::uint32_t g = 1; g <= n; ++g) {
    const Sector& gate = universe[static_cast<std::uint16_t>(g)];
    if (memberStart[g] == memberStart[g + 1] || !gate.warps) continue;
    std::uint8_t depth = 0;
    for (std::uint16_t t : gate.warps->targets) {
      if (t < 1 || t > n) continue;
      const Sector& target = universe[t];
      if (target.warps && target.bubble && target.bubble->gate == g) {
        depth = std::max(depth, target.bubble->depth);
      }
    }
    if (depth > 0) gatesByDepth[depth].push_back(static_cast<std::uint16_t>(g));
    progress = ProgressTick(progress, kStep);
  }
  for (std::size_t d = gatesByDepth.size() - 1; d >= 1; --d) {
    for (std::uint16_t g : gatesByDepth[d]) {
      found.gates.push_back({g, static_cast<std::uint8_t>(d)});
    }
  }
  return found;
}
