// The atlas: one self-contained HTML page that shows the universe as the run
// knows it, for the player's browser. The page itself (markup, style and
// scripts) is built into the program; the run adds its data as one compact
// block of numbers and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "universe/universe.h"

// Writes the atlas page `fileName` (it replaces an older one only when
// complete), announced on the console like the reports.
void WriteAtlas(const Universe& universe, std::uint16_t n, const Specials& specials,
                std::uint16_t specialCount, const std::string& gameName,
                const std::string& fileName);

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
//   "notes", "logs": sector and text of each sector that has one.
// Texts are single-byte text: each byte stands for its Windows-1252 character.
std::string AtlasData(const Universe& universe, std::uint16_t n, const Specials& specials,
                      std::uint16_t specialCount, std::string_view gameName);

// Appends `bytes` as a JSON string literal, quotes included: every byte beyond
// ASCII as the \u escape of its Windows-1252 character; control characters,
// quote, backslash, "<", ">" and "&" escaped, so that no text can end the
// script element or read as markup.
void AppendJsonText(std::string& out, std::string_view bytes);
