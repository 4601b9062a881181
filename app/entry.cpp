#include "app/entry.h"

#include <exception>
#include <new>
#include <optional>

#include "app/run_phases.h"
#include "app/settings.h"
#include "platform/console.h"
#include "platform/file.h"

namespace {

void PauseIfAsked(bool pause) {
  if (!pause) return;
  ConsoleWrite("press a key to continue...\n");
  ConsoleWaitKey();
}

// Ends the run on a failed file: the console line in progress is closed, the
// cause goes to standard error, exit code 2. With `pause` the window waits
// under the error line, so that it can be read.
int Fail(const std::string& message, bool pause) {
  ConsoleEndOpenLine();
  ConsoleShowCursor();
  ConsoleErrorLine("error:  " + message);
  PauseIfAsked(pause);
  ConsoleFlush();
  return 2;
}

}  // namespace

int RunProgram(const std::vector<std::string>& parameters) {
  const CommandLine commandLine = ReadCommandLine(parameters);
  const Settings& settings = commandLine.settings;
  if (commandLine.result == CommandLineResult::Version) {
    ConsoleWrite(kVersionLine);
    ConsoleWrite("\n");
    ConsoleFlush();
    return 0;
  }

  ConsoleHideCursor();
  ConsoleClear();
  ConsoleWrite(kBanner);
  ConsoleWrite("\n");
  if (commandLine.result != CommandLineResult::Run) {
    ConsoleWrite(UsageScreen(commandLine));
    PauseIfAsked(settings.pause);
    ConsoleShowCursor();
    ConsoleFlush();
    return commandLine.result == CommandLineResult::Usage ? 0 : 1;
  }

  std::optional<Refusal> refusal;
  try {
    refusal = RunPhases(settings.gameName, settings.cimPath, settings.reportPath,
                        settings.sectorCount, settings.loadMask, settings.alphaCentauri,
                        settings.rylos, settings.stardock, settings.distanceList,
                        settings.bubbles, settings.reports, settings.extraFile, settings.atlas,
                        settings.history);
  } catch (const IoError& error) {
    return Fail(error.what(), settings.pause);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory", settings.pause);
  }

  // A refused run changed nothing: it ends as the error screen does.
  if (refusal) ConsoleWrite("\nerror:  " + refusal->reason + "\n");
  ConsoleShowCursor();
  PauseIfAsked(settings.pause);
  ConsoleFlush();
  return refusal ? 1 : 0;
}
