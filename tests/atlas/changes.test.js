// The atlas's changes against the change log, on generated games run twice:
// every "new port found.", "up by" and "new warps found" line of the second
// run's record stands in the atlas's changes with the same sector and numbers,
// in the same order, and the atlas holds nothing of those kinds beyond them.

import { test } from "node:test";
import assert from "node:assert/strict";
import { CHANGES_COMPARED } from "../../atlas/js/universe.js";
import { generatedAtlas, lastLogRecord, readAtlas, scratch, secondAtlas } from "./games.js";

const PRODUCT_NAMES = ["fuel ore", "organics", "equipment"];

// The change log's lines of the three kinds, in the atlas's terms.
function loggedChanges(lines) {
  const logged = { portGone: [], up: [], newWarps: [] };
  for (const line of lines) {
    let m;
    if ((m = /^ {2}(\d+): new port found\.$/.exec(line))) {
      logged.portGone.push({ sector: Number(m[1]) });
    } else if ((m = /^ {2}(\d+): (fuel ore|organics|equipment) up by (\d+)\.$/.exec(line))) {
      logged.up.push({ sector: Number(m[1]), product: PRODUCT_NAMES.indexOf(m[2]), amount: Number(m[3]) });
    } else if ((m = /^ {2}(\d+): new warps found \(([\d ]*)\)$/.exec(line))) {
      logged.newWarps.push({ sector: Number(m[1]), targets: m[2] === "" ? [] : m[2].split(" ").map(Number) });
    }
  }
  return logged;
}

const GAMES = [
  { profile: "realistic", sectors: 1000, seed: 1 },
  { profile: "hostile", sectors: 300, seed: 7 },
  { profile: "star", sectors: 400, seed: 3 },
];

for (const game of GAMES) {
  test(`the atlas's changes are the change log's: ${game.profile} ${game.sectors}`, () => {
    const { dir, remove } = scratch();
    try {
      assert.equal(readAtlas(generatedAtlas(dir, game)).changes.state, 0, "the first run is not asked to compare");
      const { changes } = readAtlas(secondAtlas(dir, game));
      assert.equal(changes.state, CHANGES_COMPARED);
      const logged = loggedChanges(lastLogRecord(dir));
      assert.ok(logged.up.length > 0 && logged.newWarps.length > 0, "the second capture changes the game");
      assert.deepEqual(changes.portGone, logged.portGone);
      assert.deepEqual(changes.up, logged.up);
      assert.deepEqual(changes.newWarps, logged.newWarps);
      assert.ok(changes.explored.length > 0, "the second capture explores more");
    } finally {
      remove();
    }
  });
}
