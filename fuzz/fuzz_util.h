// Shared by the fuzz targets: the header bytes every input starts with, a
// scratch directory of the process for the files the readers take by name, a
// silent console, and the checks a target makes on what a reader built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "universe/universe.h"

// One fuzz input: byte 0 picks the universe size (0..249 give 1..250 sectors,
// 250..255 give 300, 999, 1000, 9999, 10000 and 20000, the three largest for
// one input in 16 only: see fuzz_util.cpp), byte 1 the target's options, the
// rest is the file's bytes.
struct FuzzCase {
  std::uint16_t n = 1;
  std::uint8_t options = 0;
  std::string_view body;
};

FuzzCase SplitFuzzInput(const std::uint8_t* data, std::size_t size);

// The body of every target's LLVMFuzzerTestOneInput: silences the console, runs
// `run` on the input (split by SplitFuzzInput for the second form), then checks
// that every file the program opened is closed again. Returns 0, what libFuzzer
// expects.
int RunFuzzInput(const std::uint8_t* data, std::size_t size,
                 void (*run)(const std::uint8_t* data, std::size_t size));
int RunFuzzInput(const std::uint8_t* data, std::size_t size, void (*run)(const FuzzCase& input));

// The scratch directory of the targets' in-memory file system (see
// fuzz/memory_files.h), ending in "/".
const std::string& ScratchPath();

// A Universe of n sectors with specialCount hop slots, as CreateUniverse gives
// it. Creating one allocates two tables per sector, which would cost more than
// most readers' work; so each (n, specialCount, copy) keeps one Universe for the
// process and empties every field of every Sector before handing it out again.
Universe& FreshUniverse(std::uint16_t n, std::size_t specialCount, int copy = 0);

// Writes `bytes` to ScratchPath() + name and returns that full name.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);

// Sends console text into a sink that is emptied on every call, so the targets
// neither print nor grow memory.
void SilenceConsole();

// Stops the process with `what` when `ok` is false: the fuzzer reports it as a crash.
void FuzzCheck(bool ok, const char* what);

// Every warp list is well formed: targets and kinds of one size, at most 255
// entries, known kinds.
void CheckWarpLists(const Universe& universe);

// The atlas's data block can stand in its script element as it is: printable
// ASCII only, without "<", ">" or "&".
void CheckAtlasData(std::string_view data);
