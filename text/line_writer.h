// Builds a text line in room reserved at the end of a string: the writers and
// reports put out millions of cells a run, and copying each cell into place costs
// a fraction of appending it to a string piece by piece.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class LineWriter {
 public:
  // Reserves `room` characters at the end of `out`; the caller guarantees that
  // no more are written. The destructor cuts `out` back to what was written.
  LineWriter(std::string& out, std::size_t room) : out_(out) {
    const std::size_t start = out.size();
    out.resize(start + room);
    at_ = out.data() + start;
  }
  ~LineWriter() { out_.resize(static_cast<std::size_t>(at_ - out_.data())); }
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
    char digits[10];
    const std::size_t length = Digits(digits, value);
    Spaces(width - static_cast<std::int64_t>(length));
    Put(std::string_view(digits, length));
  }
  // `value` in decimal, blanks behind up to `width` characters (never cut).
  void Left(std::uint32_t value, std::int64_t width) {
    char digits[10];
    const std::size_t length = Digits(digits, value);
    Put(std::string_view(digits, length));
    Spaces(width - static_cast<std::int64_t>(length));
  }

 private:
  static std::size_t Digits(char (&digits)[10], std::uint32_t value) {
    return static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                    digits);
  }

  std::string& out_;
  char* at_;
};
