import { test } from "node:test";
import assert from "node:assert/strict";
import { changesBySector, changeWords, whyNoChanges } from "./changes.js";
import { decodeUniverse } from "./universe.js";

test("each change of a sector in words, kinds in their order; and why there are none", () => {
  const u = decodeUniverse({ sectors: 9, flags: "", warps: [], changes: {
    state: 3, records: 9, explored: [4], newPort: [4], portGone: [], classChanged: [5, 3, 2],
    up: [4, 0, 1435, 5, 2, 10], down: [5, 1, 200], newWarps: [4, 2, 7, 9, 6, 0], warpsGone: [5, 1, 8],
  } });
  const words = (s) => changesBySector(u).get(s).map((c) => c.words);
  assert.deepEqual(words(4), ["newly explored", "port found", "fuel ore up by 1435", "new warps: 7 9"]);
  assert.deepEqual(words(5), ["class changed from BBS to SBS", "equipment up by 10", "organics down by 200", "warps gone: 8"]);
  assert.deepEqual(words(6), ["new warps"]);
  assert.equal(changeWords(2, { sector: 1 }), "port gone");
  assert.equal(whyNoChanges(u), null);
  for (const state of [0, 1, 2]) assert.match(whyNoChanges({ changes: { state } }), /\/mm:7/);
});
