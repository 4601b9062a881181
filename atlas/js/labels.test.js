import { test } from "node:test";
import assert from "node:assert/strict";
import { chooseLabels } from "./labels.js";
import { loadD3 } from "./test_d3.js";

const d3 = loadD3();
const box = { left: -20, top: -7, right: 20, bottom: 7 };

test("the lesser of two overlapping labels is left out: rank first, then the order given", () => {
  const labels = [
    { id: 1, x: 0, y: 0, box, rank: 4 },
    { id: 2, x: 30, y: 0, box, rank: 1 },   // overlaps 1 and outranks it
    { id: 3, x: 0, y: 16, box, rank: 4 },   // below 1 and 2, the gap of 2 units clear of 2
    { id: 5, x: 100, y: 0, box, rank: 4 },
    { id: 6, x: 110, y: 0, box, rank: 4 },  // overlaps 5, listed after it
  ];
  assert.deepEqual([...chooseLabels(labels, d3)].sort(), [2, 3, 5]);
  // Twice as large, 2 covers all the others.
  assert.deepEqual([...chooseLabels(labels, d3, { scale: 2 })], [2]);
  // No gap: touching is not overlapping.
  assert.ok(chooseLabels([{ id: 1, x: 0, y: 0, box, rank: 0 }, { id: 2, x: 40, y: 0, box, rank: 0 }], d3, { gap: 0 }).has(2));
});

test("on a crowded drawing the choice is the greedy one a pairwise check makes, and no two shown overlap", () => {
  let seed = 7;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const labels = Array.from({ length: 400 }, (_, id) => {
    const w = 10 + random() * 90;
    const h = 8 + random() * 30;
    return { id, x: random() * 1200, y: random() * 900, rank: Math.floor(random() * 5), box: { left: -w / 2, right: w / 2, top: -h * random(), bottom: h } };
  });
  for (const scale of [1, 1.7]) {
    const gap = 2;
    const edges = (l) => ({ left: l.x + l.box.left * scale - 1, right: l.x + l.box.right * scale + 1, top: l.y + l.box.top * scale - 1, bottom: l.y + l.box.bottom * scale + 1 });
    const meets = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    const expected = [];
    for (const l of labels.map((l, i) => ({ l, i })).sort((a, b) => a.l.rank - b.l.rank || a.i - b.i).map(({ l }) => l)) {
      if (!expected.some((o) => meets(edges(o), edges(l)))) expected.push(l);
    }
    const shown = chooseLabels(labels, d3, { scale, gap });
    assert.deepEqual([...shown].sort((a, b) => a - b), expected.map((l) => l.id).sort((a, b) => a - b), `scale ${scale}`);
    assert.ok(shown.size > 50 && shown.size < 350, `${shown.size} shown at scale ${scale}`);
  }
});

test("no label lies on the marks of another sector, but the centre's; a sector's own label may", () => {
  const marks = [{ id: 9, left: -5, top: -5, right: 5, bottom: 5 }];
  const at = (id, x, rank) => ({ id, x, y: 0, box, rank });
  assert.deepEqual([...chooseLabels([at(1, 0, 1), at(9, 0, 4)], d3, { marks })], [9]);
  assert.deepEqual([...chooseLabels([at(1, 0, 0), at(9, 0, 4)], d3, { marks })], [1]);
  // The marks are as drawn: a label enlarged reaches them, they do not grow.
  assert.deepEqual([...chooseLabels([at(5, 40, 1)], d3, { marks })], [5]);
  assert.deepEqual([...chooseLabels([at(5, 40, 1)], d3, { marks, scale: 2 })], []);
});
