import { test } from "node:test";
import assert from "node:assert/strict";
import { plotCourse, plotCourseBy, courseIn, formatCourse, sweepFrom, sweepTo } from "./course.js";
import { makeUniverse, twoWays } from "./test_universe.js";

// 1 = 2 = 3 = 4 in a line; a one-way warp 1 -> 4; sector 5 is unexplored
// (reached from 4, it leads nowhere), 6 only leads into 5.
const u = makeUniverse({
  n: 6,
  warps: {
    1: [[2, 1], [4, 0]],
    2: [[1, 1], [3, 1]],
    3: [[2, 1], [4, 1]],
    4: [[1, 2], [3, 1], [5, 0], [6, 2]],
    5: [[4, 2], [6, 2]],
    6: [[4, 0], [5, 0]],
  },
  explored: [1, 2, 3, 4, 6],
});

test("a course flies one-way warps only in their direction", () => {
  assert.equal(formatCourse(plotCourse(u, 1, 4)), "1 > 4");
  assert.equal(formatCourse(plotCourse(u, 4, 1)), "4 > 3 > 2 > 1");
});

test("an entry added for a warp in is no way out, and an unexplored sector has none", () => {
  assert.equal(plotCourse(u, 5, 4), null);
  assert.equal(plotCourse(u, 1, 6), null, "4 lists 6 only as a warp in");
  assert.equal(formatCourse(plotCourse(u, 6, 1)), "6 > 4 > 3 > 2 > 1");
});

const square = makeUniverse({ n: 4, warps: twoWays([[1, 3], [1, 2], [2, 4], [3, 4]]) });

test("one sweep gives the course to every sector, each the one plotted alone", () => {
  for (const world of [u, square]) {
    for (let from = 1; from <= world.n; from++) {
      const sweep = sweepFrom(world, from);
      for (let to = 1; to <= world.n; to++) assert.deepEqual(courseIn(sweep, from, to), plotCourse(world, from, to), `${from} to ${to}`);
    }
  }
});

test("avoided sectors are flown around, the ends never avoided", () => {
  assert.equal(formatCourse(plotCourse(square, 1, 4, [3])), "1 > 2 > 4");
  assert.equal(plotCourse(square, 1, 4, [2, 3]), null);
  assert.equal(formatCourse(plotCourse(u, 1, 4, [1, 4])), "1 > 4");
});

test("a course by stops is its legs' courses in order, each avoiding what the course avoids", () => {
  for (const [world, sectors, avoid] of [[u, [1, 4, 1], []], [u, [6, 2, 4, 3], [1]], [square, [1, 4, 1], [2]], [square, [2, 2, 3], []]]) {
    const legs = sectors.slice(1).map((to, i) => plotCourse(world, sectors[i], to, avoid));
    const { course, legs: hops } = plotCourseBy(world, sectors, avoid);
    assert.deepEqual(course, legs.reduce((whole, leg) => [...whole, ...leg.slice(1)], [sectors[0]]), sectors.join("-"));
    assert.deepEqual(hops, legs.map((leg, i) => ({ from: sectors[i], to: sectors[i + 1], hops: leg.length - 1 })));
  }
  assert.equal(formatCourse(plotCourseBy(square, [1, 4, 1], [2]).course), "1 > 3 > 4 > 3 > 1", "2 avoided on the way back too");
  assert.deepEqual(plotCourseBy(u, [1, 4, 5, 1]), { course: null, legs: [{ from: 1, to: 4, hops: 1 }, { from: 4, to: 5, hops: 1 }], failed: { from: 5, to: 1 } },
    "5 is unexplored: no way on from it");
});

test("sectors outside the universe have no course; a sector's course to itself is itself", () => {
  assert.equal(plotCourse(u, 0, 1), null);
  assert.equal(plotCourse(u, 1, 7), null);
  assert.deepEqual(plotCourse(u, 3, 3), [3]);
});

test("among equally short courses the earlier-listed warp wins", () => {
  assert.equal(formatCourse(plotCourse(square, 1, 4)), "1 > 3 > 4");
  const { hops } = sweepFrom(square, 1);
  assert.deepEqual([...hops.slice(1)], [0, 1, 1, 2]);
});

test("warps to sectors outside 1..n are never flown", () => {
  const odd = makeUniverse({ n: 2, warps: { 1: [[0, 0], [9, 0], [2, 0]], 2: [] } });
  assert.equal(formatCourse(plotCourse(odd, 1, 2)), "1 > 2");
});

test("the sweep back gives every sector the hops of its course to the target, -1 where there is none", () => {
  const odd = makeUniverse({ n: 3, warps: { 1: [[0, 0], [9, 1], [2, 0]], 2: [[2, 1], [3, 2]], 3: [[2, 0]] } });
  for (const world of [u, square, odd]) {
    for (let to = 1; to <= world.n; to++) {
      const { hops } = sweepTo(world, to);
      const expected = [-1];
      for (let s = 1; s <= world.n; s++) {
        const course = plotCourse(world, s, to);
        expected.push(course ? course.length - 1 : -1);
      }
      assert.deepEqual([...hops], expected, `to ${to}`);
    }
  }
  assert.deepEqual([...sweepTo(u, 7).hops], [-1, -1, -1, -1, -1, -1, -1]);
});
