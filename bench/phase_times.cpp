// phase_times: one run of korvan2a with the same command line, through the run
// driver (RunPhases), printing how long each phase took as the driver names
// them, one "<phase> <microseconds> <page faults>" line per phase, for
// scripts/benchmark.sh. "command-line" is the reading of the parameters,
// "release" the end of the run after its last phase (the Universe freed). The
// console text of the phases is kept out of the way; the files written are the
// program's own, byte for byte.
//
//   phase_times /g:game /n:20000 ...   (run in the game's directory)
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "app/run_phases.h"
#include "app/settings.h"
#include "platform/console.h"
#include "platform/file.h"

namespace {

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

class PhaseClock final : public RunObserver {
 public:
  PhaseClock() { Restart(); }

  // Prints the time since the clock last started under `phase`, in
  // microseconds, and the count of page faults, each a first touch of a page
  // of memory; then starts it again.
  void Mark(const char* phase) {
    const auto now = std::chrono::steady_clock::now();
    const long faults = MinorFaults();
    std::printf("%s %lld %ld\n", phase,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count()),
                faults - faults_);
    Restart();
  }

  void PhaseBegins(const char* /*phase*/) override { Restart(); }
  void PhaseEnded(const char* phase, const Universe* /*universe*/) override { Mark(phase); }

 private:
  void Restart() {
    start_ = std::chrono::steady_clock::now();
    faults_ = MinorFaults();
  }

  std::chrono::steady_clock::time_point start_;
  long faults_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  PhaseClock clock;
  const CommandLine commandLine = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (commandLine.result != CommandLineResult::Run) {
    std::fprintf(stderr, "phase_times: the command line does not ask for a run\n");
    return 1;
  }
  std::string console;
  ConsoleCaptureTo(&console);
  clock.Mark("command-line");

  try {
    if (const std::optional<Refusal> refusal = RunPhases(commandLine.settings, &clock)) {
      std::fprintf(stderr, "phase_times: the run is refused: %s\n", refusal->reason.c_str());
      return 1;
    }
  } catch (const IoError& error) {
    std::fprintf(stderr, "phase_times: %s\n", error.what());
    return 2;
  }
  clock.Mark("release");
  return 0;
}
