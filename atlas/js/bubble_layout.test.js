import { test } from "node:test";
import assert from "node:assert/strict";
import { layoutTree, TREE_MARGIN } from "./bubble_layout.js";
import { fitView } from "./layout.js";
import { groupAround } from "./neighbourhood.js";
import { makeUniverse, twoWays } from "./test_universe.js";

// The drawing of a 1400 x 900 window.
const SCREEN = { width: 715, height: 755 };

// The scale the tree is first shown at, and the closest two sectors.
function measure(group) {
  const { positions } = layoutTree(group.nodes, group.edges, SCREEN);
  const points = [...positions.values()];
  let closest = Infinity;
  for (let i = 0; i < points.length; i++) {
    for (let j = i + 1; j < points.length; j++) {
      closest = Math.min(closest, Math.hypot(points[i].x - points[j].x, points[i].y - points[j].y));
    }
  }
  return { positions, closest, scale: fitView(points, SCREEN, { margin: TREE_MARGIN }).scale };
}

function tree(pairs, n) {
  const u = makeUniverse({ n, warps: twoWays(pairs) });
  const members = [];
  for (let s = 2; s <= n; s++) members.push(s);
  return { u, group: groupAround(u, 1, members) };
}

test("a bubble of up to sixty sectors fits the drawing: circles of 8 pixels at least, none on another", () => {
  const shapes = {
    chain: Array.from({ length: 60 }, (_, i) => [i + 1, i + 2]),
    star: Array.from({ length: 60 }, (_, i) => [1, i + 2]),
    broom: [...Array.from({ length: 10 }, (_, i) => [i + 1, i + 2]), ...Array.from({ length: 50 }, (_, i) => [11, i + 12])],
    binary: Array.from({ length: 60 }, (_, i) => [Math.floor((i + 2) / 2), i + 2]),
  };
  for (const [name, pairs] of Object.entries(shapes)) {
    const { group } = tree(pairs, 61);
    const { closest, scale, positions } = measure(group);
    assert.equal(positions.size, 61, name);
    assert.ok(scale * 18 >= 8, `${name}: circles of ${(scale * 18).toFixed(1)} px`);
    assert.ok(closest >= 2 * 18 + 4, `${name}: two sectors ${closest} apart`);
  }
});

test("a tree that fits keeps its depth downwards: every sector below the one it is reached from", () => {
  const { group } = tree([[1, 2], [1, 3], [2, 4], [2, 5], [3, 6], [6, 7]], 7);
  const { positions } = layoutTree(group.nodes, group.edges, SCREEN);
  for (const { from, to } of group.edges) {
    const depth = (s) => group.nodes.find((node) => node.sector === s).ring;
    const [upper, lower] = depth(from) < depth(to) ? [from, to] : [to, from];
    assert.ok(positions.get(lower).y > positions.get(upper).y, `${lower} under ${upper}`);
  }
  // Children stand under their own parent's side of the tree.
  assert.ok(positions.get(4).x < positions.get(6).x && positions.get(5).x < positions.get(7).x);
});
