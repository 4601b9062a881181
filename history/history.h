// The game's history: <game>_history.db, an SQLite database (format 1) that
// keeps every capture a run has read, for the player to query with any SQLite
// tool and for the atlas to draw. This module is the only code that talks to
// SQLite.
//
// Its tables:
//   meta(key, value)        ('format', '1') and ('program', 'korvan2a <version>'),
//                           and what makes the next run and the digest fast:
//                           'reference_copy' and 'ports_dropped' (below)
//   runs(run, at, sectors, known, ports, capture)
//                           one row per recorded run, run = 1, 2, 3, ...
//   ports(run, sector, class, ore, ore_pct, org, org_pct, equ, equ_pct)
//                           every port of the run's port capture, as read
//   known(sector, run)      each sector the reference copies have listed with a
//                           warp, with the first recorded run that listed it
//   warps(sector, target, run)
//                           each warp they have listed, with its first run
//
// A run is recorded in one transaction, committed before RecordHistory
// returns; the rollback journal is deleted at the commit, and the file is
// written through to the disk, so that a run killed at any moment leaves the
// runs before it, or those and the new one, whole. Every SQLite failure throws
// IoError naming the database file; a database another program holds is waited
// for up to kHistoryBusyMilliseconds first.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "universe/universe.h"

constexpr int kHistoryBusyMilliseconds = 5000;

// The capture's fingerprint: the 64-bit FNV-1a hash of the bytes of
// `sectorCapture` followed by those of `portCapture` (a file that does not
// exist adds nothing), as 16 lower-case hex digits. Throws IoError when a file
// that exists cannot be read.
std::string CaptureHash(const std::string& sectorCapture, const std::string& portCapture);

// True when the run may keep its history in `fileName`: the file does not exist
// yet, is an SQLite database that holds no table (a first run killed before its
// commit leaves one), or is a korvan2a history of format 1. False for any other
// file: not SQLite, no format in `meta`, another format. Rolls back what a
// killed run left unfinished and writes nothing else. Throws IoError when the
// file cannot be read or stays held by another program.
bool IsHistoryDatabase(const std::string& fileName);

// The history of the game `cap` (the capture directory and the game's name).
std::string HistoryFileName(const std::string& cap);

// Records the run of the game `cap` in its history (RecordHistory), with the
// capture hash of cap + ".sct" and cap + ".prt" and the local time now.
// Returns whether a run was recorded.
bool RecordCapture(const Universe& universe, const std::string& cap);

// The sector reference copies of the run: the one the run read (`previous`,
// its backup by the time the history is recorded) and the one it wrote.
struct SectorCopies {
  std::string previous;
  std::string written;
};

// Records this run in the history `fileName`, creating it when it does not
// exist: the ports whose `reporting` flag is set (those read from the current
// port capture, as read) and the sectors and warps the written sector reference
// copy lists (the entries of kind oneWayOut and twoWay), each sector and warp
// with the first run that listed it. `capture` is the run's CaptureHash,
// and `at` its local time ("YYYY-MM-DD HH:MM:SS"); a new history is made by
// "korvan2a <version>". Records nothing, and returns false, when the last recorded run
// has the same capture hash. Throws IoError on any failure; the database then
// holds what it held before.
//
// Finding the sectors and warps no run has recorded yet reads every recorded
// warp back, unless the previous copy in `copies` is the one the last recorded
// run wrote (its hash is kept in meta as 'reference_copy'): then the warps that
// copy lists are taken as recorded, and only the lines of the written copy
// that differ from it are looked into. Meta's 'ports_dropped' keeps the last
// recorded run that lacked a port the run before it had ("0": none), for
// ReadHistoryDigest.
bool RecordHistory(const Universe& universe, const std::string& fileName,
                   const std::string& capture, const std::string& at,
                   const SectorCopies& copies = {});

// A recorded run, as the runs table holds it.
struct HistoryRun {
  std::uint32_t run = 0;
  std::string at;  // "YYYY-MM-DD HH:MM:SS", local time
  std::uint32_t sectors = 0;
  std::uint32_t known = 0;
  std::uint32_t ports = 0;
  std::string capture;
};

// One port as one recorded run read it.
struct PortObservation {
  std::uint16_t sector = 0;
  std::uint32_t run = 0;
  std::uint8_t buying = 0;  // bit 0 ore, bit 1 organics, bit 2 equipment, as in PortRecord
  std::array<std::uint16_t, kProductCount> amount{};
  std::array<std::uint8_t, kProductCount> percent{};
};

// What the atlas draws of the history: every recorded run in order, and each
// port's last `perPort` observations, ordered by sector and then run. Rows that
// do not fit these fields (a sector beyond 65535, an amount beyond 65535) are
// left out.
struct HistoryDigest {
  std::vector<HistoryRun> runs;
  std::vector<PortObservation> observations;
};

// Reads the digest of the history `fileName`; empty when the file does not
// exist. Throws IoError when it cannot be read or is no history. Reads the
// rows of the last `perPort` runs, and those of older runs only back to the
// last run that dropped a port: since then every port a run recorded is in
// each later run, so a port the last runs lack no observation of was seen
// before it. A history without 'ports_dropped' is read whole.
HistoryDigest ReadHistoryDigest(const std::string& fileName, std::size_t perPort);
