// Builds a text line in a buffer kept for the purpose and appends it to a string
// when done: the writers and reports put out millions of cells a run, and copying
// each cell into place costs a fraction of appending it to a string piece by piece.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

class LineWriter {
 public:
  // Room for `room` characters; the caller guarantees that no more are written.
  // The destructor appends what was written to `out`.
  LineWriter(std::string& out, std::size_t room) : out_(out) {
    // Reserved now, so that the append at the end never allocates.
    out.reserve(out.size() + room);
    Scratch& scratch = TheScratch();
    if (!scratch.busy) {
      if (scratch.size < room) {
        scratch.size = std::max(room, 2 * scratch.size);
        scratch.bytes.reset(new char[scratch.size]);
      }
      scratch.busy = true;
      begin_ = scratch.bytes.get();
    } else {
      own_.reset(new char[room]);  // a second writer at once has its own buffer
      begin_ = own_.get();
    }
    at_ = begin_;
  }
  ~LineWriter() {
    out_.append(begin_, static_cast<std::size_t>(at_ - begin_));
    if (!own_) TheScratch().busy = false;
  }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void Put(char c) { *at_++ = c; }
  void Put(std::string_view text) {
    std::memcpy(at_, text.data(), text.size());
    at_ += text.size();
  }
  void Spaces(std::int64_t count) {
    if (count <= 0) return;
    std::memset(at_, ' ', static_cast<std::size_t>(count));
    at_ += count;
  }
  // `value` in decimal, blanks in front up to `width` characters (never cut): at
  // most max(width, 10) characters.
  void Right(std::uint32_t value, std::int64_t width) {
    const std::size_t length = DigitCount(value);
    Spaces(width - static_cast<std::int64_t>(length));
    PutDigits(value, length);
  }
  // `value` in decimal, blanks behind up to `width` characters (never cut).
  void Left(std::uint32_t value, std::int64_t width) {
    const std::size_t length = DigitCount(value);
    PutDigits(value, length);
    Spaces(width - static_cast<std::int64_t>(length));
  }

 private:
  static std::size_t DigitCount(std::uint32_t value) {
    // log10 from the bit length (1233 / 4096 ~ log10 2), one compare to correct it.
    static constexpr std::uint32_t kPowers[] = {1,      10,      100,      1000,      10000,
                                                100000, 1000000, 10000000, 100000000, 1000000000};
    // 0 counts as 1, which has one digit.
    const std::uint32_t v = value | 1u;
    const auto estimate = static_cast<std::size_t>((std::bit_width(v) * 1233u) >> 12);
    return estimate + 1 - (v < kPowers[estimate] ? 1 : 0);
  }
  // The digits written in place, two at a time from the last.
  void PutDigits(std::uint32_t value, std::size_t length) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char* digit = at_ + length;
    while (value >= 100) {
      const std::uint32_t pair = value % 100;
      value /= 100;
      digit -= 2;
      std::memcpy(digit, kPairs + 2 * pair, 2);
    }
    if (value >= 10) {
      std::memcpy(digit - 2, kPairs + 2 * value, 2);
    } else {
      digit[-1] = static_cast<char>('0' + value);
    }
    at_ += length;
  }

  // The buffer lines are built in, kept from line to line (not zero-filled as
  // room reserved in a string would be).
  struct Scratch {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    bool busy = false;
  };
  static Scratch& TheScratch() {
    static thread_local Scratch scratch;
    return scratch;
  }

  std::string& out_;
  std::unique_ptr<char[]> own_;
  char* begin_;
  char* at_;
};
