#include "app/settings.h"

#include <optional>
#include <string_view>

#include "platform/file.h"
#include "platform/path.h"
#include "text/text.h"

const char* const kBanner = "KORVAN2a v.0.34 december 2002 - korvan2a contributors";

const char* const kVersionLine = "korvan2a " KORVAN_VERSION;

namespace {

struct Parameter {
  std::string key;
  char separator = ' ';
  std::string value;
};

// Splits a parameter at the first "+", "-" or ":" from its second character on.
std::optional<Parameter> SplitParameter(const std::string& text) {
  if (text.size() <= 1 || text.find('/') == std::string::npos) return std::nullopt;
  std::size_t q = text.find_first_of("+-:", 1);
  Parameter parameter;
  if (q == std::string::npos) {
    parameter.key = text;
    return parameter;
  }
  parameter.key = text.substr(0, q);
  parameter.separator = text[q];
  if (parameter.separator == ':') parameter.value = text.substr(q + 1);
  return parameter;
}

// The usage screen's request as "/?" and as the other systems' habits ask it.
bool AsksForUsage(const std::string& text) {
  return text == "/?" || text == "--help" || text == "-h" || text == "-?" || text == "/h" ||
         text == "/help";
}

bool IsFlag(const std::string& key) {
  return key == "/s" || key == "/b" || key == "/r" || key == "/pause" || key == "/atlas" ||
         key == "/history";
}

bool IsValueOption(const std::string& key) {
  return key == "/n" || key == "/d" || key == "/mm" || key == "/ry" || key == "/al" ||
         key == "/sd" || key == "/g" || key == "/p" || key == "/m";
}

// CheckDirWritable for the folder `directory` of a parameter, where `typed` is
// that folder as the player typed it; when it fails, `problem` says why.
bool CheckFolder(const std::string& directory, const std::string& typed, std::string& problem) {
  if (CheckDirWritable(directory)) return true;
  if (typed.empty()) {
    problem = "the current folder cannot be written.";
  } else {
    problem = "folder " + typed +
              (DirectoryExists(directory) ? " cannot be written." : " does not exist.");
  }
  return false;
}

// Applies one parameter; false when it is invalid (with `folderProblem` set
// when its folder is why).
bool ApplyParameter(const Parameter& p, Settings& settings, std::string& lastAlpha,
                    std::string& lastRylos, std::string& lastStardock, const std::string& text,
                    std::string& folderProblem) {
  if (IsFlag(p.key)) {
    if (p.separator != '+' && p.separator != '-') return false;
    bool minus = p.separator == '-';
    if (p.key == "/b" && minus) settings.bubbles = false;
    if (p.key == "/r" && minus) settings.reports = false;
    if (p.key == "/pause" && !minus) settings.pause = true;
    if (p.key == "/atlas" && !minus) settings.atlas = true;
    if (p.key == "/history" && !minus) settings.history = true;
    return true;
  }
  if (!IsValueOption(p.key) || p.separator != ':') return false;
  if (p.key == "/n") {
    auto value = TextToInt(p.value, 1, 20000);
    if (!value) return false;
    settings.sectorCount = static_cast<std::uint16_t>(*value);
  } else if (p.key == "/d") {
    settings.distanceList = p.value;
  } else if (p.key == "/mm") {
    auto value = TextToInt(p.value, 0, 255);
    if (!value) return false;
    settings.loadMask = static_cast<std::uint8_t>(*value);
  } else if (p.key == "/ry" || p.key == "/al" || p.key == "/sd") {
    auto value = TextToInt(p.value, 0, 65535);
    if (!value) return false;
    auto sector = static_cast<std::uint16_t>(*value);
    if (p.key == "/ry") {
      settings.rylos = sector;
      lastRylos = text;
    } else if (p.key == "/al") {
      settings.alphaCentauri = sector;
      lastAlpha = text;
    } else {
      settings.stardock = sector;
      lastStardock = text;
    }
  } else if (p.key == "/g") {
    // Normalising keeps every character in its place: the typed folder is the
    // value's first characters.
    std::string path = NormalisePath(p.value);
    std::string directory = DirectoryPart(path);
    settings.gameName = path.substr(directory.size());
    settings.cimPath = directory;
    if (!CheckFolder(directory, p.value.substr(0, directory.size()), folderProblem)) return false;
  } else if (p.key == "/p") {
    settings.reportPath = AsDirectory(NormalisePath(p.value));
    if (!CheckFolder(settings.reportPath, p.value, folderProblem)) return false;
  } else {  // "/m"
    settings.extraFile = NormalisePath(p.value);
    const std::string directory = DirectoryPart(settings.extraFile);
    if (!CheckFolder(directory, p.value.substr(0, directory.size()), folderProblem)) {
      settings.extraFile.clear();
      return false;
    }
  }
  return true;
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& parameters) {
  CommandLine line;
  Settings& settings = line.settings;
  // The parameter that last set each special sector, named if it exceeds n.
  std::string lastAlpha, lastRylos, lastStardock;
  for (const std::string& text : parameters) {
    if (AsksForUsage(text)) {
      line.result = CommandLineResult::Usage;
      return line;
    }
    if (text == "--version") {
      line.result = CommandLineResult::Version;
      return line;
    }
    std::optional<Parameter> parameter = SplitParameter(text);
    if (!parameter || !ApplyParameter(*parameter, settings, lastAlpha, lastRylos, lastStardock,
                                      text, line.folderProblem)) {
      line.result = CommandLineResult::InvalidParameter;
      line.badParameter = text;
      return line;
    }
  }
  // Special sectors must lie in the universe: the analyses index it with them.
  const std::pair<std::uint16_t, const std::string*> specials[] = {
      {settings.alphaCentauri, &lastAlpha},
      {settings.rylos, &lastRylos},
      {settings.stardock, &lastStardock},
  };
  for (const auto& [sector, parameterText] : specials) {
    if (sector > settings.sectorCount) {
      line.result = CommandLineResult::InvalidParameter;
      line.badParameter = *parameterText;
      return line;
    }
  }
  if (settings.gameName.empty()) line.result = CommandLineResult::MissingGameName;
  return line;
}

std::string UsageScreen(const CommandLine& commandLine) {
  std::string screen = "\n";
  if (commandLine.result == CommandLineResult::InvalidParameter) {
    screen += "error:  invalid parameter <" + commandLine.badParameter + ">.\n";
    if (!commandLine.folderProblem.empty()) {
      screen += "        " + commandLine.folderProblem + "\n";
    }
  }
  screen +=
      "usage: korvan2a /g:gamename * - cim filename without the extension\n"
      "              /n:#          - number of sectors, [1..20000]\n"
      "              /b-           - do not perform bubble analysis\n"
      "              /al:#         - sector location of alpha centauri\n"
      "              /ry:#         - sector location of rylos\n"
      "              /sd:#         - sector location of stardock\n"
      "              /d:#;#;#      - sectors to include in distance analysis\n"
      "              /p:path       - destination path for report files\n"
      "              /mm:#         - inputs: 1 captures, 2 reference copies, 4 map\n"
      "              /m:file       - also read this .sct, .prt or .ztm file\n"
      "              /r-           - write the reference copies only, no reports\n"
      "              /atlas+       - also write the atlas page <game>_atlas.html\n"
      "              /history+     - also keep the game's history <game>_history.db\n"
      "              /pause+       - wait for a key before ending\n"
      "                          * - required parameter\n"
      "defaults: /n:20000 /mm:3 /b+\n";
  return screen;
}
