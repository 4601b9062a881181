// Builds a text line in a buffer kept for the purpose and appends it to a string
// when done: the writers and reports put out millions of cells a run, and copying
// each cell into place costs a fraction of appending it to a string piece by piece.
#pragma once

#include <algorithm>
#include <charconv>
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
