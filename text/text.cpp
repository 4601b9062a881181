#include "text/text.h"

#include <charconv>

std::size_t CharPos(char ch, std::string_view s) {
  std::size_t at = s.find(ch);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::uint32_t WordCount(std::string_view s, char d) {
  std::uint32_t count = 0;
  bool inWord = false;
  for (char c : s) {
    if (c == d) {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++count;
    }
  }
  return count;
}

std::string_view ExtractWord(std::string_view s, std::uint32_t n, char d) {
  if (n == 0) return {};
  std::size_t i = 0;
  const std::size_t size = s.size();
  for (std::uint32_t word = 1;; ++word) {
    while (i < size && s[i] == d) ++i;
    if (i == size) return {};
    std::size_t start = i;
    while (i < size && s[i] != d) ++i;
    if (word == n) return s.substr(start, i - start);
  }
}

namespace {
bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string_view TrimLine(std::string_view s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && IsTrimmed(s[begin])) ++begin;
  while (end > begin && IsTrimmed(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

std::optional<std::int64_t> TextToInt(std::string_view s, std::int64_t minValue,
                                      std::int64_t maxValue) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return std::nullopt;
  // Accumulate with a cap so that long digit runs fail instead of overflowing.
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (value < kCap) value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < minValue || value > maxValue) return std::nullopt;
  return value;
}

std::optional<std::uint16_t> TextToWord(std::string_view s) {
  auto value = TextToInt(s, 0, 65535);
  if (!value) return std::nullopt;
  return static_cast<std::uint16_t>(*value);
}

int NumberWidth(std::uint32_t n) {
  int width = 1;
  while (n >= 10) {
    n /= 10;
    ++width;
  }
  return width;
}

namespace {
std::string_view Digits(char (&buffer)[24], std::int64_t value) {
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
}
}  // namespace

void AppendRight(std::string& out, std::int64_t value, int width) {
  char buffer[24];
  std::string_view digits = Digits(buffer, value);
  if (width > 0 && digits.size() < static_cast<std::size_t>(width)) {
    out.append(static_cast<std::size_t>(width) - digits.size(), ' ');
  }
  out.append(digits);
}

void AppendLeft(std::string& out, std::int64_t value, int width) {
  char buffer[24];
  AppendPadded(out, Digits(buffer, value), width > 0 ? static_cast<std::size_t>(width) : 0);
}

void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  out.append(text);
  if (text.size() < width) out.append(width - text.size(), ' ');
}

std::string ShortFileName(std::string_view fileName) {
  if (fileName.size() >= 34) {
    return "..." + std::string(fileName.substr(fileName.size() - 30));
  }
  return std::string(fileName);
}
