// The run driver: one run over the game's file set, every phase in its order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/settings.h"
#include "universe/universe.h"

// Why a run would not start (see CheckInputs): the text of its "error:  " line.
struct Refusal {
  std::string reason;
};

// Told of each phase of a run as it begins and as it ends, by the phase's name
// (RunPhases names them: "check-inputs", "read-sct", "reconcile", ...): the
// benchmark times the phases with it, the fuzzer checks the Universe between
// them. `universe` is the run's Universe as the phase left it; null until the
// Universe exists (after "check-inputs" and "universe").
class RunObserver {
 public:
  virtual void PhaseBegins(const char* phase) = 0;
  virtual void PhaseEnded(const char* phase, const Universe* universe) = 0;

 protected:
  ~RunObserver() = default;
};

// Performs one run with the settings of the command line, telling `observer`
// (when given) of every phase; with `settings.atlas` (and reports on) the
// atlas page is written after the dump report; with `settings.history` a run
// that reads the captures is recorded in the game's history after the
// reference copies. Returns the refusal when
// CheckInputs refuses the run: then nothing was written, moved or deleted.
// Throws IoError when a file the run uses cannot be opened, read, created or
// written.
std::optional<Refusal> RunPhases(const Settings& settings, RunObserver* observer = nullptr);

// The check before the first phase, of the inputs as they are when the run
// starts; it reads, and writes nothing. `cap` is the capture directory plus the
// game name. Every run that starts rewrites the reference copies, so a run is
// refused, the first reason that holds in this order:
// - when `loadMask` asks for neither the captures nor the reference copies;
// - when none of the files it asks for exists (the reference copies under
//   their older names ".srf"/".prf" included), nor the extra file: a run that
//   reads nothing must not replace the player's reference copies with empty
//   ones;
// - when it rebuilds from the captures (the captures, not the copies) and a
//   capture is missing (".sct" first) while the copy of that kind holds a byte:
//   that copy would be written empty;
// - when the extra file is named and does not exist;
// - when a reference copy holds a sector beyond n (HighestSectorBeyond): the
//   run would drop it from the copy it writes;
// - with `history`, when the game's history file is not one
//   (IsHistoryDatabase).
// Throws IoError when a reference copy or the history cannot be read.
std::optional<Refusal> CheckInputs(const std::string& cap, std::uint16_t n, std::uint8_t loadMask,
                                   const std::string& extraFile, bool history = false);

// Moves the file set of earlier versions into place: without reference copies
// the stale map, ".fig" and ".vod" files are deleted, and ".srf"/".prf" become
// the reference copies, their new names written through to the disk (see
// MoveFileDurably). `cap` is the capture directory plus the game name.
void TidyFileSet(const std::string& cap);
