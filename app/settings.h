// The command line: the run options, how the parameters are read into them, and
// the banner and usage screens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Settings {
  std::string gameName;    // base name of every file of the run
  std::string cimPath;     // capture directory: empty or its directory part (platform/path.h)
  std::string reportPath;  // report directory: empty or ending in the separator
  std::uint16_t sectorCount = 20000;
  std::uint8_t loadMask = 3;  // 1 captures, 2 reference copies, 4 map comparison
  std::string distanceList;
  std::uint16_t alphaCentauri = 0;
  std::uint16_t rylos = 0;
  std::uint16_t stardock = 0;
  bool bubbles = true;
  bool reports = true;
  bool pause = false;
  bool atlas = false;  // also write the atlas page (/atlas+)
  bool history = false;  // also keep the game's history database (/history+)
  std::string extraFile;
};

// What the parameters ask for.
enum class CommandLineResult {
  Run,               // settings complete: run once
  Usage,             // "/?" (or "--help", "-h", "-?", "/h", "/help"): the usage screen, exit code 0
  Version,           // "--version": the version line alone, exit code 0
  MissingGameName,   // no /g: — the usage screen, exit code 1
  InvalidParameter,  // the error screen for `badParameter`, exit code 1
};

struct CommandLine {
  CommandLineResult result = CommandLineResult::Run;
  Settings settings;          // as far as the parameters were read
  std::string badParameter;   // the invalid parameter as typed
  // When the invalid parameter's folder cannot be written: what is wrong with
  // it ("folder games/ does not exist."), shown under the error line.
  std::string folderProblem;
};

// Reads the parameters, first to last, into Settings. Directory options are
// checked for write access as they are read.
CommandLine ReadCommandLine(const std::vector<std::string>& parameters);

// The banner line, without its line end.
extern const char* const kBanner;

// The line "--version" prints, without its line end: the program's name and
// the release's version.
extern const char* const kVersionLine;

// The usage screen (with the error line for an invalid parameter, and the
// folder's problem under it), each line ended with "\n", starting with the empty
// line.
std::string UsageScreen(const CommandLine& commandLine);
