import { test } from "node:test";
import assert from "node:assert/strict";
import { listBubbles, sortBubbles } from "./bubbles.js";
import { makeUniverse } from "./test_universe.js";

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
