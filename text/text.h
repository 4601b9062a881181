// Word, trimming and number helpers shared by every phase.
//
// Strings are byte strings. Positions handed out by CharPos and word numbers of
// WordCount/ExtractWord are 1-based, as players count them. A word, for a
// delimiter d, is a maximal run of characters none of which is d: leading,
// trailing and repeated delimiters never make empty words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Position (from 1) of the first `ch` in `s`; 0 when there is none.
std::size_t CharPos(char ch, std::string_view s);

// Number of words of `s` for delimiter `d`. Counted wide, so it never wraps.
std::uint32_t WordCount(std::string_view s, char d);

// The n-th word (from 1) of `s` for delimiter `d`, as a view into `s`; empty when
// n is 0 or `s` has fewer than n words.
std::string_view ExtractWord(std::string_view s, std::uint32_t n, char d);

// Walks `s` word by word: the first word at or after `pos`, as a view into `s`,
// with `pos` moved past it; empty when no word is left. Successive calls from
// pos 0 give the words ExtractWord numbers 1, 2, ... without rescanning the line.
// Inline: the capture readers call it for every word of every line.
inline std::string_view NextWord(std::string_view s, std::size_t& pos, char d) {
  const std::size_t size = s.size();
  while (pos < size && s[pos] == d) ++pos;
  const std::size_t start = pos;
  while (pos < size && s[pos] != d) ++pos;
  return s.substr(start < size ? start : size, pos - start);
}

// `s` without leading and trailing blanks, tabs, carriage returns and line feeds.
std::string_view TrimLine(std::string_view s);

// Text to integer: an optional sign and decimal digits, with leading blanks and
// tabs allowed. Anything else (a trailing blank included, an empty text, a lone
// sign) fails, and so does a value outside [minValue, maxValue].
std::optional<std::int64_t> TextToInt(std::string_view s, std::int64_t minValue,
                                      std::int64_t maxValue);

// TextToInt for a sector number: 0..65535. Whether 0 or a number above n is
// acceptable is the caller's check (see Universe::Contains).
std::optional<std::uint16_t> TextToWord(std::string_view s);

// Number of decimal digits of the universe size n (5 for 20000): the width of
// every aligned sector number.
int NumberWidth(std::uint32_t n);

// Appends `value` in decimal, padded with blanks in front to `width` characters
// (right aligned). A wider number is written in full.
void AppendRight(std::string& out, std::int64_t value, int width = 0);

// Appends `value` in decimal, padded with blanks behind to `width` characters
// (left aligned). A wider number is written in full.
void AppendLeft(std::string& out, std::int64_t value, int width);

// Appends `text` padded with blanks behind to `width` characters.
void AppendPadded(std::string& out, std::string_view text, std::size_t width);

// The file name as a phase announces it on the console: the name itself, or
// "..." and its last 30 characters when it is 34 characters or longer.
std::string ShortFileName(std::string_view fileName);
