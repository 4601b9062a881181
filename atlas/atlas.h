// The atlas: one self-contained HTML page that shows the universe as the run
// knows it, for the player's browser. The page itself (markup, style and
// scripts) is built into the program; the run adds its data as one compact
// block of numbers and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "history/history.h"
#include "universe/map_file.h"
#include "universe/universe.h"

// Writes the atlas page `fileName` (it replaces an older one only when
// complete), announced on the console like the reports. `changes` is what the
// map comparison of this run found (its state notAsked when there was none);
// `history` the digest of the game's history, or null when the run keeps none.
void WriteAtlas(const Universe& universe, const Specials& specials, const std::string& gameName,
                const MapChanges& changes, const HistoryDigest* history,
                const std::string& fileName);

// The observations of each port the page carries: enough for a port's trend,
// while 30 runs of a 20000-sector game keep the page within a few megabytes.
constexpr std::size_t kAtlasObservations = 30;

// The most special slots the atlas carries: the five fixed slots and the first
// twenty distance reference sectors. Each slot costs two hop columns of n
// entries, so a long /d: list would otherwise swell the page without bound.
constexpr std::size_t kAtlasSlots = 25;

// The data block of the page: a JSON object, pure ASCII, with no "<", ">" or
// "&" anywhere, so that it can stand inside a script element as it is.
//   "format": 1;  "game": the game name;  "sectors": n;
//   "specials": the sector of each slot (at most kAtlasSlots; 0 = not set);
//   "flags": one digit per sector 1..n, explored + 2 x fig;
//   "warps": per sector 1..n, its warp count + 1 (0 when it has no warp list),
//            then each entry as target x 4 + kind;
//   "ports": per port in sector order: sector, buying mask + 8 x reporting,
//            the three percentages, the three amounts;
//   "portClass": the class letters of each port in the same order, three
//            letters a port, lower case where the port is weak;
//   "hopsTo", "hopsFrom": per slot the column of hop counts of sectors 1..n,
//            or null for a slot that is not set (the msl slot: when no sector
//            lies on the lane);
//   "bubbles": per sector with a bubble record: sector, gate, depth,
//            compromised + 2 x explored;
//   "notes", "logs": sector and text of each sector that has one;
//   "changes": what this run's merged data hold against the map's snapshot,
//            as the map comparison saw them (after the captures and reference
//            copies, before the extra file, log, notes and reconciliation):
//     "state": 0 the load mask does not ask for the comparison; 1 there is no
//              map file; 2 the map file cannot be compared (it is empty or its
//              reclen is below 15); 3 compared;
//     "records": the number of map records compared, sectors 1..records (0
//              unless compared); only these sectors take part below;
//     and per kind, its entries in sector order (all empty unless compared):
//     "explored": sectors whose record is not explored and that are explored now;
//     "newPort": sectors whose record has no port and that have one now;
//     "portGone": sectors whose record has a port and that have none now (the
//              change log's "new port found." lines);
//     "classChanged": sector, the record's buying mask, the port's mask now,
//              for a port in both whose masks differ;
//     "up": sector, product (0 ore, 1 org, 2 equ), cur - prev, for each of the
//              change log's "up by" lines: a port in both, and prev / 100 <
//              cur - prev, where prev and cur are the capacities the record's
//              and the port's amount and percentage stand for (amount x 100
//              div (percentage + 1) below 100 %, else the amount);
//     "down": sector, product, prev - cur, the same turned around: a port in
//              both, and cur / 100 < prev - cur;
//     "newWarps": sector, the number of targets, the targets, for each of the
//              change log's "new warps found (...)" lines, with that line's
//              list (empty where the line's is);
//     "warpsGone": sector, the number of targets, the targets: the map warps
//              the comparison takes (of the record's slots of kind one-way out
//              or two-way, the first six, an empty slot counting as 0; of
//              these the first k, k being how many are not 0) that are not 0
//              and not among the sector's targets then, nor among its warps
//              out at the end of the run (a route file read after the
//              comparison lists them again), in slot order; a sector without
//              any is left out.
//   "history": only in a page of a run that keeps the game's history, from
//            its digest:
//     "at": the local time of each recorded run, in order ("YYYY-MM-DD
//              HH:MM:SS"); "known", "ports": the same runs' known sectors and
//              ports;
//     "observed": per port observed, in sector order: its sector, then its
//              observations in run order as one string of numbers, each
//              written five bits a character, lowest first, in the characters
//              A-Z a-z 0-9 + / (the value of a character, plus 32 when another
//              character of the number follows). An observation is the change
//              of each amount since the port's previous one (from 0 for the
//              first), zigzag-coded (0, -1, 1, -2 ... as 0, 1, 2, 3 ...): ore's
//              times 2, plus 1 when the observation's run is not the one after
//              the previous observation's (the first: not the first run), and
//              then the runs skipped less one; org's; equ's. Runs are counted
//              by their index in "at".
// Texts are single-byte text: each byte stands for its Windows-1252 character.
std::string AtlasData(const Universe& universe, const Specials& specials, std::string_view gameName,
                      const MapChanges& changes, const HistoryDigest* history = nullptr);

// Appends `bytes` as a JSON string literal, quotes included: every byte beyond
// ASCII as the \u escape of its Windows-1252 character; control characters,
// quote, backslash, "<", ">" and "&" escaped, so that no text can end the
// script element or read as markup.
void AppendJsonText(std::string& out, std::string_view bytes);
