// The page's trade pairs against the port pair report, on generated games of
// every kind: for ports one two-way warp apart and every start, the pairs are
// the report's, each under the rows the report lists it in, and each pair's
// line, estimate included, is the report's line.

import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import path from "node:path";
import { PAIR_ROWS, findTradePairs, pairLine } from "../../atlas/js/trade.js";
import { generatedAtlas, readAtlas, scratch } from "./games.js";

// The report's pair lines: { p, q, row (index of PAIR_ROWS), line }.
function reportedPairs(file) {
  const found = [];
  let row = -1;
  for (const line of readFileSync(file, "latin1").split("\r\n")) {
    const m = /^ specific pairs \((\d):(\d)\)$/.exec(line);
    if (m) {
      row++;
      assert.deepEqual([PAIR_ROWS[row].a, PAIR_ROWS[row].b], [Number(m[1]), Number(m[2])]);
      continue;
    }
    const pair = /^ {2}[ +](\d+) +\S+ \([^)]*\) - [ +](\d+) /.exec(line);
    if (pair) found.push({ p: Number(pair[1]), q: Number(pair[2]), row, line: line.slice(2) });
  }
  assert.equal(row, PAIR_ROWS.length - 1);
  return found;
}

const GAMES = [
  { profile: "realistic", sectors: 5000, seed: 3 },
  { profile: "hostile", sectors: 1000, seed: 7 },
  { profile: "chain", sectors: 600, seed: 5 },
  { profile: "star", sectors: 1500, seed: 3 },
  { profile: "wide", sectors: 1000, seed: 2 },
];

for (const game of GAMES) {
  test(`the trade pairs one warp apart are the port pair report's: ${game.profile} ${game.sectors}`, () => {
    const { dir, remove } = scratch();
    try {
      const u = readAtlas(generatedAtlas(dir, game));
      const reported = reportedPairs(path.join(dir, "game_portpairs.txt"));
      assert.ok(reported.length > 20, `only ${reported.length} pairs reported`);
      const rowsOf = new Map();
      for (const { p, q, row, line } of reported) {
        const key = `${p}-${q}`;
        rowsOf.set(key, [...(rowsOf.get(key) || []), row]);
        assert.equal(pairLine(u, p, q), line, `the line of ${key}`);
      }
      const pairs = findTradePairs(u, { from: 1, apart: 1 });
      assert.deepEqual(new Map(pairs.map(({ p, q, rows }) => [`${p}-${q}`, rows])), rowsOf);
    } finally {
      remove();
    }
  });
}
