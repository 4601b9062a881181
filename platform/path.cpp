#include "platform/path.h"

std::string NormalisePath(std::string path, const PathRules& rules) {
  for (char& c : path) {
    if (c == '\\' || c == '/') c = rules.separator;
  }
  return path;
}

std::string DirectoryPart(const std::string& path, const PathRules& rules) {
  std::size_t end = path.find_last_of(rules.driveColon ? std::string{rules.separator, ':'}
                                                       : std::string{rules.separator});
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string AsDirectory(std::string path, const PathRules& rules) {
  if (!path.empty() && path.back() != rules.separator) path += rules.separator;
  return path;
}
