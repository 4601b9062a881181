import { test } from "node:test";
import assert from "node:assert/strict";
import { nearestInDirection } from "./arrows.js";

test("an arrow leads to the nearest point within 45 degrees of it, else the nearest on its side", () => {
  // 0 right and far, 1 right and a little up, 2 near but steeply up, 3 left.
  const points = [{ x: 100, y: 0 }, { x: 40, y: -30 }, { x: 10, y: -50 }, { x: -20, y: 5 }];
  const from = { x: 0, y: 0 };
  assert.equal(nearestInDirection(points, from, [1, 0]), 1);
  assert.equal(nearestInDirection(points, from, [0, -1]), 2);
  assert.equal(nearestInDirection(points, from, [-1, 0]), 3);
  // Nothing below lies within 45 degrees: the nearest point lower down at all.
  assert.equal(nearestInDirection(points, from, [0, 1]), 3);
  // A point exactly at `from` lies in no direction; nothing beyond: -1.
  assert.equal(nearestInDirection([{ x: 0, y: 0 }, { x: -5, y: 0 }], from, [1, 0]), -1);
});
