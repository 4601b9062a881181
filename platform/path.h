// How the platform writes paths: the directory separator, and whether a drive's
// ":" also ends the directory part. Both rule sets are plain values, so the
// rules of either platform can be applied (and tested) on any platform.
#pragma once

#include <string>

struct PathRules {
  char separator;
  bool driveColon;  // "c:game" has the directory part "c:"
};

inline constexpr PathRules kPosixPaths{'/', false};
inline constexpr PathRules kWindowsPaths{'\\', true};
#ifdef _WIN32
inline constexpr PathRules kNativePaths = kWindowsPaths;
#else
inline constexpr PathRules kNativePaths = kPosixPaths;
#endif

// Every "\" and every "/" of `path` becomes the separator.
std::string NormalisePath(std::string path, const PathRules& rules = kNativePaths);

// The directory part of a normalised path: up to and including its last
// separator (or drive ":"), or empty when it has none.
std::string DirectoryPart(const std::string& path, const PathRules& rules = kNativePaths);

// A normalised directory path that can have a file name appended: a separator
// is added when it is not empty and does not already end in one.
std::string AsDirectory(std::string path, const PathRules& rules = kNativePaths);
