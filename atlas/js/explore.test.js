import { test } from "node:test";
import assert from "node:assert/strict";
import { exploreFrom, isDeadEnd } from "./explore.js";
import { makeUniverse } from "./test_universe.js";

// 1 = 2 = 4, 1 -> 5, 2 -> 3 -> 9; 3, 5 and 9 unexplored, 3 known from an
// earlier capture. 4 lists one warp of its own and an entry for 6's warp in:
// a dead end, from which 6 cannot be reached. 7 = 6 -> 4: 7 is a dead end
// that no course from 1 reaches.
const u = makeUniverse({
  n: 9,
  warps: {
    1: [[2, 1], [5, 0]],
    2: [[1, 1], [3, 0], [4, 1]],
    3: [[2, 2], [9, 0]],
    4: [[2, 1], [6, 2]],
    6: [[4, 0], [7, 1]],
    7: [[6, 1]],
  },
  explored: [1, 2, 4, 6, 7],
});

test("unexplored sectors and dead ends a known course reaches within the radius, nearest first, the start left out", () => {
  assert.deepEqual(exploreFrom(u, 1, 2), {
    unexplored: [{ sector: 5, hops: 1 }, { sector: 3, hops: 2 }],
    deadEnds: [{ sector: 4, hops: 2 }],
    reached: { sectors: 5, unexplored: 3, deadEnds: 1 },
    beyond: { unexplored: { sector: 9, hops: 3 }, deadEnds: null },
  });
  const from7 = exploreFrom(u, 7);
  assert.deepEqual(from7.unexplored, [{ sector: 3, hops: 4 }, { sector: 5, hops: 5 }, { sector: 9, hops: 5 }]);
  assert.deepEqual(from7.deadEnds, [{ sector: 4, hops: 2 }], "7 itself is the start");
  assert.deepEqual(exploreFrom(u, 7, 1).beyond, { unexplored: { sector: 3, hops: 4 }, deadEnds: { sector: 4, hops: 2 } });
  assert.deepEqual(exploreFrom(u, 3).unexplored, [{ sector: 9, hops: 1 }], "an unexplored start flies its known warps");
  assert.deepEqual(exploreFrom(u, 9).reached, { sectors: 0, unexplored: 0, deadEnds: 0 }, "no known way out");
  assert.deepEqual(exploreFrom(u, 10).reached, { sectors: 0, unexplored: 0, deadEnds: 0 });
});

test("a dead end is explored and lists one warp of its own", () => {
  assert.deepEqual([1, 2, 3, 4, 5, 6, 7, 8, 9].filter((s) => isDeadEnd(u, s)), [4, 7]);
});
