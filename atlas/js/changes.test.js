import { test } from "node:test";
import assert from "node:assert/strict";
import { changesBySector, changeWords, changesNear, whyNoChanges } from "./changes.js";
import { plotCourse } from "./course.js";
import { decodeUniverse, CHANGE_KINDS } from "./universe.js";
import { makeUniverse } from "./test_universe.js";

test("each change of a sector in words, kinds in their order; and why there are none", () => {
  const u = decodeUniverse({ sectors: 9, flags: "", warps: [], ports: [4, 11, 100, 100, 100, 10, 10, 10], portClass: "bbs", changes: {
    state: 3, records: 9, explored: [4], newPort: [4], portGone: [], classChanged: [5, 3, 2],
    up: [4, 0, 1435, 5, 2, 10], down: [5, 1, 200], newWarps: [4, 2, 7, 9, 6, 0], warpsGone: [5, 1, 8],
  } });
  const words = (s) => changesBySector(u).get(s).map((c) => c.words);
  // 4 is newly explored: its warps are all new, and no news.
  assert.deepEqual(words(4), ["newly explored", "port found: bbs (class 1)", "fuel ore up by 1435"]);
  assert.deepEqual(words(5), ["class changed from BBS to SBS", "equipment up by 10", "organics down by 200", "warps gone: 8"]);
  assert.deepEqual(words(6), ["new warps"]);
  assert.equal(changeWords(2, { sector: 1 }), "port gone");
  assert.equal(whyNoChanges(u), null);
  for (const state of [0, 1, 2]) assert.match(whyNoChanges({ changes: { state } }), /\/mm:7/);
});

// 1 = 2 = 3 = 4 = 5 in a line, a one-way warp 1 -> 5 and one 6 -> 1 (so 6
// is near 1 only on the way in); 7 unexplored beyond 5; 8 out of reach.
const near = makeUniverse({
  n: 8,
  warps: {
    1: [[2, 1], [5, 0], [6, 2]], 2: [[1, 1], [3, 1]], 3: [[2, 1], [4, 1]], 4: [[3, 1], [5, 1]],
    5: [[4, 1], [1, 2], [7, 0]], 6: [[1, 0]], 7: [[5, 2]], 8: [],
  },
  explored: [1, 2, 3, 4, 5, 6, 8],
  changes: {
    state: 3, records: 8, explored: [3, 8], newPort: [], portGone: [6], classChanged: [],
    up: [4, 0, 10, 2, 1, 20, 4, 2, 30, 5, 0, 40], down: [7, 1, 5], newWarps: [2, 1, 4, 3, 1, 9, 5, 1, 3], warpsGone: [],
  },
});

test("the changes near a sector: within so many hops as flown, nearest first, then by sector", () => {
  const listed = (from, within) => changesNear(near, from, within).map((group) => group.map(({ change, hops }) => `${change.sector}@${hops}`));
  assert.deepEqual(listed(1, 2), [["3@2"], [], [], [], ["2@1", "5@1", "4@2", "4@2"], ["7@2"], ["2@1", "5@1"], []]);
  // The up changes of 4 keep their order: ore, then equipment.
  assert.deepEqual(changesNear(near, 1, 2)[4].filter(({ change }) => change.sector === 4).map(({ change }) => change.product), [0, 2]);
  assert.deepEqual(listed(6, 0), CHANGE_KINDS.map((_, kind) => (kind === 2 ? ["6@0"] : [])));
  assert.deepEqual(listed(7, Infinity), CHANGE_KINDS.map((_, kind) => (kind === 5 ? ["7@0"] : [])), "7 is unexplored: no way out");
  assert.deepEqual(listed(9, 5), CHANGE_KINDS.map(() => []));
  // Every start and reach against a course to each changed sector.
  for (let from = 1; from <= near.n; from++) {
    for (const within of [0, 1, 2, 3, Infinity]) {
      const found = changesNear(near, from, within);
      CHANGE_KINDS.forEach((_, kind) => {
        const listedHere = [...changesBySector(near)].flatMap(([s, changes]) => changes.filter((c) => c.kind === kind).map(() => s));
        const expected = listedHere.map((s) => ({ s, hops: plotCourse(near, from, s)?.length - 1 }))
          .filter(({ hops }) => hops <= within).sort((x, y) => x.hops - y.hops || x.s - y.s);
        assert.deepEqual(found[kind].map(({ change, hops }) => [change.sector, hops]), expected.map(({ s, hops }) => [s, hops]), `${from} ${within} ${kind}`);
      });
    }
  }
});
