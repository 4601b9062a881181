import { test } from "node:test";
import assert from "node:assert/strict";
import { findPorts, portClassName, portClassNumber, CLASS_MASKS } from "./ports.js";
import { makeUniverse } from "./test_universe.js";

test("class names and numbers follow the buying mask", () => {
  assert.deepEqual([0, 1, 2, 3, 4, 5, 6, 7].map(portClassName), ["SSS", "BSS", "SBS", "BBS", "SSB", "BSB", "SBB", "BBB"]);
  assert.deepEqual(CLASS_MASKS.map(portClassName), ["BBS", "BSB", "SBB", "SSB", "SBS", "BSS", "SSS", "BBB"]);
  assert.deepEqual(CLASS_MASKS.map(portClassNumber), [1, 2, 3, 4, 5, 6, 7, 8]);
});

test("the finder lists the ports a course reaches, nearest first, equally near in sector order", () => {
  // 1 -> 2 -> 3 and 1 -> 5 -> 3 (one way); 4 lists 1, nothing leads to 4.
  const u = makeUniverse({
    n: 5,
    warps: { 1: [[2, 0], [5, 0], [4, 2]], 2: [[1, 2], [3, 0]], 3: [[2, 2], [5, 2]], 4: [[1, 0]], 5: [[1, 2], [3, 0]] },
    ports: {
      3: [4, [10, 20, 30], [1, 2, 3]], 5: [6, [0, 0, 0], [0, 0, 0]], 2: [0, [0, 0, 0], [0, 0, 0]], 4: [7, [0, 0, 0], [0, 0, 0]],
    },
  });
  const equipmentBuyers = findPorts(u, 1, { product: 2, buys: true });
  assert.deepEqual(equipmentBuyers.map((p) => [p.sector, p.hops]), [[5, 1], [3, 2]]);
  assert.deepEqual(equipmentBuyers[1].port.amount, [1, 2, 3]);
  assert.deepEqual(findPorts(u, 1, { product: 0, buys: false }).map((p) => p.sector), [2, 5, 3]);
  assert.deepEqual(findPorts(u, 1, { mask: 7 }), [], "4's port is out of reach");
  assert.deepEqual(findPorts(u, 1, { product: 0, buys: false }, 1).map((p) => p.sector), [2]);
});
