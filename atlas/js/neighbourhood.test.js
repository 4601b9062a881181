import { test } from "node:test";
import assert from "node:assert/strict";
import { neighbourhood, groupAround, warpsAmong, sortNeighbours } from "./neighbourhood.js";
import { layoutRings, ringLayout, layoutCourse, pushApart, simulationState, RING_GAP, SECTOR_ROOM } from "./layout.js";
import { makeUniverse, twoWays } from "./test_universe.js";
import { loadD3 } from "./test_d3.js";

// 1 = 2 = 3 = 4 = 5 in a line, one-way 1 -> 6 (6 unexplored), 7 lists 1 one
// way, 5 lists itself.
const warps = twoWays([[1, 2], [2, 3], [3, 4], [4, 5]]);
warps[1].push([6, 0], [7, 2]);
warps[6] = [[1, 2]];
warps[7] = [[1, 0]];
warps[5].push([5, 1]);
const u = makeUniverse({ n: 7, warps, explored: [1, 2, 3, 4, 5, 7] });

test("a neighbourhood holds the sectors within the radius on the rings of their distance", () => {
  const hood = neighbourhood(u, 1, 2);
  assert.deepEqual(hood.nodes, [
    { sector: 1, ring: 0 }, { sector: 2, ring: 1 }, { sector: 6, ring: 1 }, { sector: 7, ring: 1 }, { sector: 3, ring: 2 },
  ]);
  assert.equal(hood.total, 5);
  const limited = neighbourhood(u, 1, 5, 3);
  assert.deepEqual(limited.nodes.map((n) => n.sector), [1, 2, 6]);
  assert.equal(limited.total, 7);
  assert.deepEqual(neighbourhood(u, 8, 2).nodes, []);
});

test("warps are drawn once a pair, one-way warps from the sector that lists them", () => {
  const edges = warpsAmong(u, new Set([1, 2, 5, 6, 7]));
  assert.deepEqual(edges.sort((a, b) => a.from - b.from || a.to - b.to), [
    { from: 1, to: 2, twoWay: true }, { from: 1, to: 6, twoWay: false }, { from: 7, to: 1, twoWay: false },
  ]);
  // One-way entries at both ends of a pair make one two-way warp.
  const both = makeUniverse({ n: 2, warps: { 1: [[2, 0]], 2: [[1, 0]] } });
  assert.deepEqual(warpsAmong(both, new Set([1, 2])), [{ from: 1, to: 2, twoWay: true }]);
});

test("a group is drawn from its centre over the warps among its members", () => {
  const group = groupAround(u, 3, [4, 5, 7]);
  assert.deepEqual(group.nodes, [{ sector: 3, ring: 0 }, { sector: 4, ring: 1 }, { sector: 5, ring: 2 }, { sector: 7, ring: 3 }]);
});

// The positions d3-force's simulation settles the same layout at: a radial
// force to each sector's ring, a link force along the warps, the apart force
// on a copy of its bodies, the centre fixed.
function settledByD3(nodes, edges, start, ringOf, steps = 160) {
  const d3 = loadD3();
  const bodies = nodes.map(({ sector }) => ({ id: sector, radius: ringOf.get(sector), ...start.get(sector) }));
  for (const body of bodies) if (body.radius === 0) Object.assign(body, { fx: body.x, fy: body.y });
  const state = simulationState(bodies.length);
  const apart = () => {
    bodies.forEach((b, i) => {
      [state.x[i], state.y[i], state.vx[i], state.vy[i]] = [b.x, b.y, b.vx, b.vy];
    });
    pushApart(state, SECTOR_ROOM, 0.9);
    bodies.forEach((b, i) => {
      [b.vx, b.vy] = [state.vx[i], state.vy[i]];
    });
  };
  const simulation = d3.forceSimulation(bodies)
    .force("ring", d3.forceRadial((b) => b.radius, 0, 0).strength(1))
    .force("link", d3.forceLink(edges.map((e) => ({ source: e.from, target: e.to }))).id((b) => b.id).distance(RING_GAP).strength(0.015))
    .force("apart", apart)
    .stop();
  for (let i = 0; i < steps; i++) simulation.tick();
  return new Map(bodies.map((b) => [b.id, { x: b.x, y: b.y }]));
}

test("the layout keeps every sector on its ring, apart from the others, as d3-force settles it", () => {
  // A wheel: 40 spokes around sector 1, each spoke's sector joined to the next
  // and to a sector of the outer ring.
  const pairs = [];
  for (let i = 0; i < 40; i++) {
    pairs.push([1, 2 + i], [2 + i, 2 + ((i + 1) % 40)], [2 + i, 42 + i]);
  }
  const wheel = makeUniverse({ n: 81, warps: twoWays(pairs) });
  const hood = neighbourhood(wheel, 1, 2);
  const { positions, bands } = layoutRings(hood.nodes, hood.edges);
  assert.deepEqual(positions.get(1), { x: 0, y: 0 });
  // Forty sectors need more than one circle at the first ring's distance.
  assert.equal(bands[1].inner, RING_GAP);
  assert.ok(bands[1].circles.length > 1);
  assert.equal(bands[2].inner, bands[1].outer + RING_GAP);
  for (const { sector, ring } of hood.nodes) {
    const d = Math.hypot(positions.get(sector).x, positions.get(sector).y);
    assert.ok(d > bands[ring].inner - RING_GAP / 3 && d < bands[ring].outer + RING_GAP / 3, `sector ${sector} strays from ring ${ring}`);
  }
  let closest = Infinity;
  const points = [...positions.values()];
  for (let i = 0; i < points.length; i++) {
    for (let j = i + 1; j < points.length; j++) {
      closest = Math.min(closest, Math.hypot(points[i].x - points[j].x, points[i].y - points[j].y));
    }
  }
  assert.ok(closest > 40, `two sectors ${closest.toFixed(1)} apart overlap`);
  const start = ringLayout(hood.nodes, hood.edges);
  assert.deepEqual(settledByD3(hood.nodes, hood.edges, start.positions, start.radius), positions);
});

test("a course snakes across rows, each hop between neighbours", () => {
  const { positions } = layoutCourse([5, 6, 7, 8], 2);
  assert.deepEqual([...positions.values()].map((p) => [p.x, p.y]), [[0, 0], [130, 0], [130, 120], [0, 120]]);
});

test("a neighbourhood's list sorts by any column, sectors without a port or note last", () => {
  const v = makeUniverse({ n: 7, warps, explored: [1, 2, 3, 4, 5, 7], ports: { 2: [4, [100, 100, 100], [1, 1, 1]], 7: [3, [100, 100, 100], [1, 1, 1]] },
    notes: { 3: "b safe", 6: "a dock" } });
  const { all } = neighbourhood(v, 1, 2);
  const order = (column, descending) => sortNeighbours(v, all, column, descending).map((a) => a.sector);
  assert.deepEqual(order("sector", true), [7, 6, 3, 2, 1]);
  assert.deepEqual(order("port"), [7, 2, 1, 6, 3]);
  assert.deepEqual(order("note"), [6, 3, 1, 2, 7]);
  assert.deepEqual(order("hops", true), [3, 2, 6, 7, 1]);
});

test("a crowd of circles on one another is set apart, the same every time", () => {
  let seed = 3;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  // 300 circles of radius 32, most of them on others at the start.
  const start = Array.from({ length: 300 }, () => ({ x: random() * 1200, y: random() * 1000 }));
  const closest = (points) => {
    let d = Infinity;
    for (let i = 0; i < points.length; i++) {
      for (let j = i + 1; j < points.length; j++) d = Math.min(d, Math.hypot(points[i].x - points[j].x, points[i].y - points[j].y));
    }
    return d;
  };
  assert.ok(closest(start) < 10);
  const settle = () => {
    const state = simulationState(start.length);
    start.forEach((p, i) => [state.x[i], state.y[i]] = [p.x, p.y]);
    for (let step = 0; step < 100; step++) {
      pushApart(state, 64, 0.9);
      for (let i = 0; i < start.length; i++) {
        state.x[i] += state.vx[i] *= 0.6;
        state.y[i] += state.vy[i] *= 0.6;
      }
    }
    return start.map((_, i) => ({ x: state.x[i], y: state.y[i] }));
  };
  const settled = settle();
  assert.ok(closest(settled) > 60, `two circles ${closest(settled).toFixed(1)} apart`);
  assert.deepEqual(settle(), settled);
});
