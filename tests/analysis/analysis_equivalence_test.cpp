// The program's queue-based sweeps against the whole-table rescans of the
// literal algorithms, on many random universes: same hop tables, same reports.
#include <gtest/gtest.h>

#include <random>

#include "analysis/distances.h"
#include "analysis/msl.h"
#include "platform/console.h"
#include "platform/file.h"
#include "report/distance_report.h"
#include "report/msl_report.h"
#include "tests/analysis/analysis_fixtures.h"
#include "tests/analysis/literal_analysis.h"
#include "tests/test_util.h"

namespace {

class AnalysisEquivalence : public ::testing::Test {
 protected:
  void SetUp() override { ConsoleCaptureTo(&console_); }
  void TearDown() override { ConsoleCaptureTo(nullptr); }

  // Runs both versions on copies of one universe and compares everything.
  void Compare(const Universe& original, const Specials& specials, const std::string& label) {
    const std::uint16_t n = original.size();
    const auto count = static_cast<std::uint16_t>(specials.size());
    Universe fast = original;
    Universe literal = original;

    CalculateDistances(fast, specials);
    LiteralCalculateDistances(literal, n, specials, count);
    ExpectSameHops(fast, literal, label + " distances");

    RemoveFile(dir_ / "g_msl.txt");
    WriteMslReport(fast, CalculateMsl(fast, specials), dir_ / "g_msl.txt");
    std::optional<std::string> literalMsl = LiteralCalculateMsl(literal, n, specials, count);
    ExpectSameHops(fast, literal, label + " msl");
    if (literalMsl) {
      ExpectSameText(ReadFile(dir_ / "g_msl.txt"), *literalMsl, label + " msl report");
    } else {
      EXPECT_FALSE(FileExists(dir_ / "g_msl.txt")) << label;
    }

    WriteDistanceReport(fast, specials, dir_ / "g_distance.txt");
    ExpectSameText(ReadFile(dir_ / "g_distance.txt"),
                   LiteralDistanceReport(literal, n, specials, count), label + " distance report");
    console_.clear();
  }

  // Reports reach megabytes: show only where they first differ.
  static void ExpectSameText(const std::string& fast, const std::string& literal,
                             const std::string& label) {
    if (fast == literal) return;
    std::size_t at = 0;
    while (at < fast.size() && at < literal.size() && fast[at] == literal[at]) ++at;
    const std::size_t from = at > 40 ? at - 40 : 0;
    ADD_FAILURE() << label << ": differs at byte " << at << "\nprogram: "
                  << fast.substr(from, 80) << "\nliteral: " << literal.substr(from, 80);
  }

  void ExpectSameHops(const Universe& fast, const Universe& literal, const std::string& label) {
    for (std::uint32_t s = 1; s <= fast.size(); ++s) {
      const auto sector = static_cast<std::uint16_t>(s);
      if (fast[sector].hopsTo != literal[sector].hopsTo ||
          fast[sector].hopsFrom != literal[sector].hopsFrom) {
        ADD_FAILURE() << label << ": hop tables differ first at sector " << s;
        return;
      }
    }
  }

  ScratchDir dir_;
  std::string console_;
};

TEST_F(AnalysisEquivalence, SmallUniversesOfEveryShape) {
  std::mt19937 rng(20061206);
  for (int round = 0; round < 600; ++round) {
    RandomShape shape;
    shape.n = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(1, 60)(rng));
    shape.explored = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
    shape.maxWarps = std::uniform_int_distribution<int>(1, 8)(rng);
    shape.oneWay = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
    shape.outOfRange = round % 3 == 0 ? 0.2 : 0.02;
    shape.selfAndTwice = round % 4 == 0 ? 0.2 : 0.01;
    shape.manyWarps = round % 10 == 0 ? 0.1 : 0.0;
    shape.reconcile = round % 5 != 0;
    shape.presetHops = round % 7 == 0 ? 0.05 : 0.0;
    shape.chain = round % 6 == 0 ? shape.n : 0;
    shape.chainOneWay = round % 12 == 0;
    const Specials specials = MakeRandomSpecials(rng, shape.n);
    Compare(MakeRandomUniverse(rng, shape, specials), specials,
            "small round " + std::to_string(round));
    if (HasFailure()) return;
  }
}

TEST_F(AnalysisEquivalence, MediumUniversesWithLongRoutes) {
  std::mt19937 rng(445);
  for (int round = 0; round < 40; ++round) {
    RandomShape shape;
    shape.n = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(100, 2500)(rng));
    shape.explored = std::uniform_real_distribution<double>(0.3, 1.0)(rng);
    shape.maxWarps = std::uniform_int_distribution<int>(1, 4)(rng);
    // Mostly neighbours, so that routes run for hundreds of hops.
    shape.near = round % 2 == 0 ? 1.0 : 0.98;
    shape.oneWay = std::uniform_real_distribution<double>(0.0, 0.5)(rng);
    shape.manyWarps = round % 4 == 0 ? 0.01 : 0.0;
    shape.reconcile = round % 5 != 0;
    shape.presetHops = round % 8 == 0 ? 0.01 : 0.0;
    shape.chain = round % 3 == 0 ? shape.n : 300;
    shape.chainOneWay = round % 4 < 2;
    shape.chainInOrder = round % 2 == 0;
    const Specials specials = MakeRandomSpecials(rng, shape.n);
    Compare(MakeRandomUniverse(rng, shape, specials), specials,
            "medium round " + std::to_string(round));
    if (HasFailure()) return;
  }
}

TEST_F(AnalysisEquivalence, FullSizeUniverses) {
  std::mt19937 rng(3030);
  for (int round = 0; round < 4; ++round) {
    RandomShape shape;
    shape.n = 20000;
    shape.explored = round == 3 ? 0.5 : 0.9;
    shape.near = round < 2 ? 0.3 : round == 2 ? 0.9 : 1.0;
    shape.oneWay = 0.1;
    shape.manyWarps = 0.001;
    shape.chain = round >= 2 ? 20000 : 0;  // a chain through every sector, deeper than 254
    shape.chainOneWay = round == 3;
    shape.chainInOrder = round == 3;
    shape.maxWarps = round >= 2 ? 1 : 6;
    const Specials specials = MakeRandomSpecials(rng, shape.n);
    Compare(MakeRandomUniverse(rng, shape, specials), specials,
            "full round " + std::to_string(round));
  }
}

TEST_F(AnalysisEquivalence, BareChainOfTwentyThousandSectors) {
  // 1 - 2 - ... - 20000 and nothing else: every sweep stops at 254.
  std::vector<Listing> listings;
  for (std::uint32_t s = 1; s <= 20000; ++s) {
    Listing listing{static_cast<std::uint16_t>(s), {}};
    if (s > 1) listing.targets.push_back(static_cast<std::uint16_t>(s - 1));
    if (s < 20000) listing.targets.push_back(static_cast<std::uint16_t>(s + 1));
    listings.push_back(listing);
  }
  const Specials specials = {0, 1, 200, 10000, 19999, 400};
  Compare(MakeReconciledUniverse(20000, specials, listings), specials, "chain");
}

}  // namespace
