// hostile_input: writes a capture file that no terminal should save but any
// could, and prints the number of lines the capture readers count in it (lines
// of at least two blank-separated words once the line's ends are trimmed) and
// the length of its longest line, so a script can check the run's change log
// and memory against them. It does not use the program's code.
//
//   hostile_input random FILE BYTES SEED   random bytes
//   hostile_input long   FILE BYTES        one sector line "1 2 2 2 ..." of BYTES
//   hostile_input nul    FILE BYTES SEED   short lines full of NUL bytes
//   hostile_input cr     FILE BYTES        lines of nothing but CR, then one CR run
//                                          without a line end
//   hostile_input ports  FILE LINES        port capture lines for sectors 1..20000
//   hostile_input route  FILE BYTES        one route of BYTES through sectors 1..100,
//                                          lines of 20 hops, closed at the end; prints
//                                          its hop count in place of the line count
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The readers' rule: a line counts when, trimmed, it holds a second word.
bool Counted(std::string_view line) {
  std::size_t begin = 0;
  std::size_t end = line.size();
  while (begin < end && IsTrimmed(line[begin])) ++begin;
  while (end > begin && IsTrimmed(line[end - 1])) --end;
  line = line.substr(begin, end - begin);
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return false;
  return line.find_first_not_of(' ', blank) != std::string_view::npos;
}

// Writes the file block by block and counts its lines, a line running on
// across blocks.
class CountingWriter {
 public:
  explicit CountingWriter(const char* name) : file_(std::fopen(name, "wb")) {
    if (file_ == nullptr) {
      std::perror(name);
      std::exit(2);
    }
  }

  void Write(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
      std::perror("write");
      std::exit(2);
    }
    for (char c : bytes) {
      if (c == '\n') {
        count_ += Counted(line_) ? 1 : 0;
        longest_ = std::max<std::uint64_t>(longest_, line_.size());
        line_.clear();
      } else {
        line_ += c;
      }
    }
  }

  std::uint64_t Finish() {
    if (!line_.empty()) count_ += Counted(line_) ? 1 : 0;
    longest_ = std::max<std::uint64_t>(longest_, line_.size());
    if (std::fclose(file_) != 0) {
      std::perror("close");
      std::exit(2);
    }
    return count_;
  }

 private:
  std::FILE* file_;
  std::string line_;
  std::uint64_t count_ = 0;
  std::uint64_t longest_ = 0;

 public:
  std::uint64_t longest() const { return longest_; }
};

int Usage() {
  std::fputs("usage: hostile_input random|long|nul|cr FILE BYTES [SEED] | ports FILE LINES\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Usage();
  const std::string_view kind = argv[1];
  const std::uint64_t amount = std::strtoull(argv[3], nullptr, 10);
  Random random{argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1};
  CountingWriter out(argv[2]);
  constexpr std::uint64_t kBlock = 1 << 20;
  std::string block;

  if (kind == "random") {
    for (std::uint64_t done = 0; done < amount; done += block.size()) {
      block.clear();
      while (block.size() < kBlock && done + block.size() < amount) {
        const std::uint64_t r = random.Next();
        for (int i = 0; i < 8 && done + block.size() < amount; ++i) {
          block += static_cast<char>(r >> (8 * i));
        }
      }
      out.Write(block);
    }
  } else if (kind == "long") {
    out.Write("1");
    for (std::uint64_t done = 1; done < amount; done += block.size()) {
      block.clear();
      while (block.size() < kBlock && done + block.size() + 2 <= amount) block += " 2";
      if (block.empty()) break;
      out.Write(block);
    }
    out.Write("\r\n");
  } else if (kind == "nul") {
    static constexpr std::string_view kLines[] = {
        std::string_view("12 \0 13\r\n", 9), std::string_view("\0\0\0\0\n", 5),
        std::string_view("14\0 15 16\n", 10), std::string_view("17 18\0\r\n", 8),
        std::string_view("\0 19 20\n", 8),   std::string_view("21 22 23\n", 9)};
    for (std::uint64_t done = 0; done < amount; done += block.size()) {
      block.clear();
      while (block.size() < kBlock && done + block.size() < amount) {
        block += kLines[random.Next() % std::size(kLines)];
      }
      out.Write(block);
    }
  } else if (kind == "cr") {
    for (std::uint64_t done = 0; done < amount / 2; done += block.size()) {
      block.clear();
      while (block.size() < kBlock && done + block.size() < amount / 2) {
        block.append(1 + random.Next() % 7, '\r');
        block += '\n';
      }
      out.Write(block);
    }
    out.Write(std::string(amount - amount / 2, '\r'));
  } else if (kind == "ports") {
    for (std::uint64_t line = 0; line < amount;) {
      block.clear();
      for (; block.size() < kBlock && line < amount; ++line) {
        const std::uint64_t r = random.Next();
        block += std::to_string(1 + line % 20000);
        block += (r & 1) ? " - " : "   ";
        block += std::to_string(r % 4000) + " " + std::to_string(r / 7 % 101) + "%";
        block += (r & 2) ? " - " : "   ";
        block += std::to_string(r / 11 % 4000) + " " + std::to_string(r / 13 % 101) + "%";
        block += (r & 4) ? " - " : "   ";
        block += std::to_string(r / 17 % 4000) + " " + std::to_string(r / 19 % 101) + "%\r\n";
      }
      out.Write(block);
    }
  } else if (kind == "route") {
    // Every word is a sector number, so every hop counts. The route keeps to
    // sectors 1..100, so the warps it adds stay few and the run's memory shows
    // what the reader itself keeps.
    std::uint64_t words = 0;
    out.Write("TO > 20000\r\n");
    for (std::uint64_t done = 0; done < amount; done += block.size()) {
      block.clear();
      while (block.size() < kBlock && done + block.size() < amount) {
        for (int hop = 0; hop < 20; ++hop) {
          block += std::to_string(1 + random.Next() % 100);
          block += hop < 19 ? " > " : "\r\n";
          ++words;
        }
      }
      out.Write(block);
    }
    out.Write("\r\n");
    out.Finish();
    std::printf("%llu %llu\n", static_cast<unsigned long long>(words - 1),
                static_cast<unsigned long long>(out.longest()));
    return 0;
  } else {
    return Usage();
  }
  const std::uint64_t count = out.Finish();
  std::printf("%llu %llu\n", static_cast<unsigned long long>(count),
              static_cast<unsigned long long>(out.longest()));
  return 0;
}
