import { test } from "node:test";
import assert from "node:assert/strict";
import { findPorts, portClassName, portClassNumber, CLASS_MASKS } from "./ports.js";
import { makeUniverse } from "./test_universe.js";

test("class names and numbers follow the buying mask", () => {
  assert.deepEqual([0, 1, 2, 3, 4, 5, 6, 7].map(portClassName), ["SSS", "BSS", "SBS", "BBS", "SSB", "BSB", "SBB", "BBB"]);
  assert.deepEqual(CLASS_MASKS.map(portClassName), ["BBS", "BSB", "SBB", "SSB", "SBS", "BSS", "SSS", "BBB"]);
  assert.deepEqual(CLASS_MASKS.map(portClassNumber), [1, 2, 3, 4, 5, 6, 7, 8]);
});

test("the finder lists every port a course reaches, nearest first, with the hops back, and filters them", () => {
  // 1 -> 2 -> 3 and 1 -> 5 -> 3 (one way), 3 -> 1; 4 -> 1, nothing leads to 4.
  // 2 and 5 lie in the bubble behind 1, which 5 compromises.
  const u = makeUniverse({
    n: 5,
    warps: { 1: [[2, 0], [5, 0], [4, 2], [3, 2]], 2: [[1, 2], [3, 0]], 3: [[2, 2], [5, 2], [1, 0]], 4: [[1, 0]], 5: [[1, 2], [3, 0]] },
    ports: {
      3: [4, [10, 20, 30], [1, 2, 300]], 5: [6, [0, 0, 60], [0, 0, 50]], 2: [0, [0, 0, 0], [0, 0, 0]], 4: [7, [0, 0, 0], [0, 0, 0]],
    },
    bubbles: { 2: [1, 1, 0, 1], 5: [1, 1, 1, 1] },
  });
  const rows = (want, filters) => findPorts(u, 1, want, filters).found.map((p) => [p.sector, p.hops, p.back]);
  const equipment = { product: 2, buys: true };
  assert.deepEqual(rows(equipment), [[5, 1, 2], [3, 2, 1]]);
  assert.deepEqual(rows({ product: 0, buys: false }), [[2, 1, 2], [5, 1, 2], [3, 2, 1]], "equally near in sector order");
  assert.deepEqual(rows(equipment, { maxHops: 1 }), [[5, 1, 2]]);
  assert.deepEqual(rows(equipment, { minAmount: 100 }), [[3, 2, 1]]);
  assert.deepEqual(rows(equipment, { minPercent: 31 }), [[5, 1, 2]]);
  assert.deepEqual(rows({ product: 0, buys: false }, { leaveOutCompromised: true }), [[3, 2, 1]], "2 is in 5's bubble");
  assert.deepEqual(rows({ mask: 4 }, { minAmount: 2 }), [], "a class search asks it of every product: 3 has 1 fuel ore");
  assert.deepEqual(rows({ mask: 4 }, { minAmount: 1 }), [[3, 2, 1]]);
  assert.deepEqual(findPorts(u, 1, { mask: 7 }), { found: [], known: 1, reachable: 0 }, "4's port is out of reach");
  assert.deepEqual(findPorts(u, 4, equipment, { maxHops: 2 }).found.map((p) => [p.sector, p.hops, p.back]), [[4, 0, 0], [5, 2, -1]],
    "the port at the start counts; nothing leads back to 4");
  assert.equal(findPorts(u, 1, { product: 0, buys: false }, { maxHops: 0 }).reachable, 3);
});
