#include "capture/port_file.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "capture/reference_copy.h"
#include "progress/progress.h"
#include "text/line_writer.h"
#include "text/text.h"

namespace {

constexpr std::uint16_t kSpinnerStep = 500;
constexpr std::int64_t kMaxAmount = 65535;

// A percentage word is a number and one more character, normally "%"; that
// character is dropped whatever it is.
std::optional<std::uint8_t> ReadPercent(std::string_view word) {
  if (word.empty()) return std::nullopt;
  const auto value = TextToInt(word.substr(0, word.size() - 1), 0, 255);
  if (!value) return std::nullopt;
  return static_cast<std::uint8_t>(*value);
}

// The three product groups that follow the sector number, from `pos` on; none
// when a group cannot be read. Words after the third group are ignored.
std::optional<PortRecord> ReadProducts(std::string_view line, std::size_t pos,
                                       std::uint8_t reportingValue) {
  PortRecord port;
  port.reporting = reportingValue;
  for (int product = 0; product < kProductCount; ++product) {
    const std::string_view word = NextWord(line, pos, ' ');
    std::int64_t amount = 0;
    if (word == "-") {
      port.buying |= static_cast<std::uint8_t>(1u << product);
      const auto value = TextToInt(NextWord(line, pos, ' '), 0, kMaxAmount);
      if (!value) return std::nullopt;
      amount = *value;
    } else {
      const auto value = TextToInt(word, std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::int64_t>::max());
      if (!value) return std::nullopt;
      amount = *value;
      if (amount < 0) {
        port.buying |= static_cast<std::uint8_t>(1u << product);
        amount = -amount;
      }
    }
    const auto percent = ReadPercent(NextWord(line, pos, ' '));
    if (!percent) return std::nullopt;
    port.amount[product] = static_cast<std::uint16_t>(std::min(amount, kMaxAmount));
    port.percent[product] = *percent;
  }
  return port;
}

// A port remembered from an earlier capture is taken at its full capacity: an
// amount below 100% is scaled up (the divisor is the percentage plus one).
void EstimateFullCapacity(PortRecord& port) {
  for (int product = 0; product < kProductCount; ++product) {
    if (port.percent[product] >= 100) continue;
    if (port.amount[product] > 0) {
      const std::int64_t full =
          std::int64_t{port.amount[product]} * 100 / (port.percent[product] + 1);
      port.amount[product] = static_cast<std::uint16_t>(std::min(full, kMaxAmount));
      port.percent[product] = 100;
    } else {
      port.percent[product] = 0;
    }
  }
}

}  // namespace

void ReadPortFile(Universe& universe, const std::string& fileName, LoadMode mode,
                  std::uint8_t reportingValue, OutputFile& changeLog) {
  const std::uint16_t n = universe.size();
  if (!FileExists(fileName)) return;
  LineReader reader;
  if (!reader.Open(fileName)) return;
  changeLog.Write(" " + fileName + ": ");
  AnnounceFile("reading port cim file: ", fileName);
  std::uint16_t spinner = ProgressTick(0, kSpinnerStep);

  std::uint32_t lineCount = 0;
  std::string_view line;
  while (reader.Next(line)) {
    line = TrimLine(line);
    std::size_t pos = 0;
    const std::string_view first = NextWord(line, pos, ' ');
    std::size_t probe = pos;
    if (NextWord(line, probe, ' ').empty()) continue;  // fewer than two words
    ++lineCount;
    spinner = ProgressTick(spinner, kSpinnerStep);

    const auto number = TextToInt(first, 1, n);
    if (!number || !universe.Contains(static_cast<std::uint32_t>(*number))) continue;

    std::optional<PortRecord> port = ReadProducts(line, pos, reportingValue);
    if (port && port->reporting == 0) EstimateFullCapacity(*port);

    Sector& sector = universe[static_cast<std::uint16_t>(*number)];
    if (mode == LoadMode::Replace) {
      sector.port = port;
    } else if (!sector.port) {
      sector.port = port;
    }
  }

  EndPhaseLine();
  changeLog.WriteLine(std::to_string(lineCount) + " ports read.");
}

void WritePortFile(const Universe& universe, const std::string& fileName, OutputFile& changeLog,
                   const std::string& backupName) {
  const std::uint16_t n = universe.size();
  changeLog.Write(" " + fileName + ": ");
  AnnounceFile("writing port cim file: ", fileName);
  OutputFile out(fileName, OutputFile::Mode::Replace, OutputFile::Durability::Durable);
  std::uint16_t spinner = ProgressTick(0, kSpinnerStep);

  const int width = NumberWidth(n);
  std::uint32_t lineCount = 0;
  std::string line;
  for (std::uint32_t s = 1; s <= n; ++s) {
    const Sector& sector = universe.Lookup(s);
    if (!sector.port) continue;
    ++lineCount;
    const PortRecord& port = *sector.port;
    line.clear();
    {
      LineWriter cells(line, 64);  // at most 5 + 3 x (2 + 5 + 1 + 3 + 1) characters
      cells.Right(s, width);
      for (int product = 0; product < kProductCount; ++product) {
        cells.Put((port.buying & (1u << product)) != 0 ? " -" : "  ");
        cells.Right(port.amount[product], 5);
        cells.Put(' ');
        cells.Right(port.percent[product], 3);
        cells.Put('%');
      }
    }
    out.WriteLine(line);
    spinner = ProgressTick(spinner, kSpinnerStep);
  }

  CommitReferenceCopy(out, backupName);
  EndPhaseLine();
  changeLog.WriteLine(std::to_string(lineCount) + " ports written.");
}
