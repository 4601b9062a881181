import { test } from "node:test";
import assert from "node:assert/strict";
import { listBubbles, sortBubbles, hopsInFromGate } from "./bubbles.js";
import { makeUniverse, twoWays } from "./test_universe.js";

test("members are grouped by gate with the bubble's depth, size and marks", () => {
  // Gate 20 with a chain 12 - 11 - 10 (depths 3, 2, 1) and a dead end 13;
  // gate 5 with one unexplored, compromised dead end.
  const u = makeUniverse({
    n: 20,
    bubbles: { 10: [20, 1, 0, 1], 11: [20, 2, 0, 1], 12: [20, 3, 0, 1], 13: [20, 1, 0, 1], 6: [5, 1, 1, 0] },
  });
  const list = listBubbles(u);
  assert.deepEqual(list, [
    { gate: 5, depth: 1, size: 1, members: [6], unexplored: true, compromised: true },
    { gate: 20, depth: 3, size: 4, members: [10, 11, 12, 13], unexplored: false, compromised: false },
  ]);
  assert.deepEqual(sortBubbles(list, "size", true).map((b) => b.gate), [20, 5]);
  assert.deepEqual(sortBubbles(list, "compromised").map((b) => b.gate), [20, 5]);
});

test("a member lies as many hops in from its gate as the warps among the members lead, the opposite of its depth", () => {
  // 20 = 12 = 11 = 10 and 12 = 13: depths 3, 2, 1 and 1, as the run peels
  // them. 20 also warps to 1, outside; 10 has a one-way warp to 13.
  const warps = twoWays([[20, 12], [12, 11], [11, 10], [12, 13], [20, 1]]);
  warps[10].push([13, 0]);
  const u = makeUniverse({
    n: 20,
    warps,
    bubbles: { 10: [20, 1, 0, 1], 11: [20, 2, 0, 1], 12: [20, 3, 0, 1], 13: [20, 1, 0, 1] },
  });
  const [bubble] = listBubbles(u);
  assert.deepEqual([...hopsInFromGate(u, bubble)].sort((a, b) => a[0] - b[0]), [[10, 3], [11, 2], [12, 1], [13, 2]]);
});
