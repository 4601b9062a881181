import { test } from "node:test";
import assert from "node:assert/strict";
import {
  decodeUniverse, warpsOf, portOf, onLane, slotsOf, slotName, CHANGE_KINDS, CHANGES_COMPARED, CHANGES_NOT_ASKED,
} from "./universe.js";

test("the data block decodes into sectors, warps, ports, hops, bubbles and texts", () => {
  const u = decodeUniverse({
    format: 1, game: "g", sectors: 3, specials: [0, 1, 3, 0, 0], flags: "130",
    warps: [3, 2 * 4 + 1, 3 * 4 + 0, 2, 1 * 4 + 1, 0],
    ports: [2, 3 + 8, 100, 50, 7, 2060, 400, 12, 3, 4, 1, 2, 3, 4, 5, 6], portClass: "BBSsSB",
    hopsTo: [[0, 0, 255], [0, 1, 255], [1, 0, 0], null, null], hopsFrom: [[0, 1, 1], [0, 1, 1], null, null, null],
    bubbles: [3, 2, 1, 2], notes: [1, "terra", 9, "beyond n"], logs: [2, "<b>x</b>"],
  });
  assert.equal(u.n, 3);
  assert.deepEqual([...u.explored], [0, 1, 1, 0]);
  assert.deepEqual([...u.fig], [0, 0, 1, 0]);
  assert.deepEqual(warpsOf(u, 1), [{ target: 2, kind: 1 }, { target: 3, kind: 0 }]);
  assert.deepEqual(warpsOf(u, 3), []);
  assert.equal(u.hasWarps[3], 0);
  assert.deepEqual(portOf(u, 2), { sector: 2, buying: 3, reporting: 1, percent: [100, 50, 7], amount: [2060, 400, 12], letters: "BBS" });
  assert.equal(portOf(u, 3).reporting, 0);
  assert.equal(onLane(u, 1), true);
  assert.equal(onLane(u, 3), false);
  assert.equal(u.hopsTo[3], null);
  assert.deepEqual(slotsOf(u, 3).map(slotName), ["alpha centauri"]);
  assert.deepEqual(u.bubble.get(3), { gate: 2, depth: 1, compromised: 0, explored: 1 });
  assert.deepEqual([...u.notes], [[1, "terra"]]);
  assert.equal(u.logs.get(2), "<b>x</b>");
});

test("numbers out of range or of the wrong type are left out, never trusted", () => {
  const u = decodeUniverse({
    sectors: 2, specials: [0, 7, "x", -1, 2], flags: "9",
    warps: [200, 1.5, -4, 2 * 4, "3"], ports: [5, 0, 1, 1, 1, 1, 1, 1, 1, 99, 0, 0, 0, 0, 0, 0],
    hopsTo: [[300, "a"]], bubbles: [0, 1, 1, 0], notes: [2, 7, 1, "ok"],
  });
  assert.deepEqual(u.specials, [0, 0, 0, 0, 2]);
  assert.deepEqual(warpsOf(u, 1), [{ target: 2, kind: 0 }]);
  assert.deepEqual(warpsOf(u, 2), []);
  assert.deepEqual([...u.explored], [0, 0, 0]);
  assert.equal(u.ports.length, 0);
  assert.deepEqual([...u.hopsTo[0]], [255, 255, 255]);
  assert.equal(u.bubble.size, 0);
  assert.deepEqual([...u.notes], [[1, "ok"]]);
  assert.equal(decodeUniverse({}).n, 0);
});

test("the changes against the map decode by kind, each sector marked with its kinds", () => {
  const u = decodeUniverse({
    sectors: 9, changes: {
      state: 3, records: 9, explored: [1, 0, 10, "2"], newPort: [2], portGone: [3], classChanged: [4, 3, 5, 5, 8, 1],
      up: [5, 0, 500, 6, 3, 1], down: [5, 2, 6553500, 7, 1, 6553501],
      newWarps: [6, 2, 9, 11, 9, 0, 8, 1, 70000], warpsGone: [7, 1, 6, 8, 9, 1, 2],
    },
  });
  const c = u.changes;
  assert.equal(c.state, CHANGES_COMPARED);
  assert.equal(c.records, 9);
  assert.deepEqual(c.explored, [{ sector: 1 }]);
  assert.deepEqual(c.classChanged, [{ sector: 4, before: 3, now: 5 }]);
  assert.deepEqual(c.up, [{ sector: 5, product: 0, amount: 500 }]);
  assert.deepEqual(c.down, [{ sector: 5, product: 2, amount: 6553500 }]);
  // A target out of range is left out; a count beyond the list ends it.
  assert.deepEqual(c.newWarps, [{ sector: 6, targets: [9, 11] }, { sector: 9, targets: [] }, { sector: 8, targets: [] }]);
  assert.deepEqual(c.warpsGone, [{ sector: 7, targets: [6] }]);
  const kinds = (s) => CHANGE_KINDS.filter((_, k) => (c.kindsAt[s] >> k) & 1).map((kind) => kind.name);
  assert.deepEqual(kinds(5), ["up", "down"]);
  assert.deepEqual(kinds(8), ["new-warps"]);
  assert.deepEqual(kinds(9), ["new-warps"]);
  assert.equal(decodeUniverse({ sectors: 2 }).changes.state, CHANGES_NOT_ASKED);
  assert.equal(decodeUniverse({ sectors: 2, changes: { state: 4, up: [1, 0, 5] } }).changes.state, CHANGES_NOT_ASKED);
});
