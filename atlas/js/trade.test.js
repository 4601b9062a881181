import { test } from "node:test";
import assert from "node:assert/strict";
import {
  PAIR_ROWS, TRADE_SECTIONS, filterTradePairs, findTradePairs, pairLine, pairTradeVolume, sortTradePairs, rankTradePairs,
  pairsWithin, pairCarry, carryHook, carryWords, rankedAsRead,
} from "./trade.js";
import { CLASS_MASKS } from "./ports.js";
import { makeUniverse, twoWays } from "./test_universe.js";

test("the pair table: twenty rows under the report's five headings", () => {
  assert.deepEqual(PAIR_ROWS.map(({ a, b }) => `${a}:${b}`).join(" "),
    "1:4 2:5 3:6 7:8 1:2 4:5 1:3 4:6 2:3 5:6 2:2 2:3 2:4 2:8 3:3 3:4 3:8 4:4 4:8 8:8");
  assert.deepEqual(PAIR_ROWS.flatMap(({ heading }, k) => (heading ? [[k, heading]] : [])), [
    [0, "triple pairs:"], [4, "double pairs:  org/equ"], [6, "double pairs:  ore/equ"], [8, "double pairs:  ore/org"],
    [10, "evil pairs:"],
  ]);
  assert.deepEqual(PAIR_ROWS.map((row) => row.section), [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4]);
});

const full = [100, 100, 100];
const even = [1000, 1000, 1000];
// Pairs by two-way warps, one of each section: 1 BBS = 2 SSB (triple),
// 3 BSB = 4 SBB (ore/org and evil), 5 SSB = 6 SSB (evil, no estimate),
// 8 BBS = 7 SBB (ore/equ, listed from the BBS side), 9 SSS = 10 SSS (in no
// row). Start 16 = 4, 16 = 11 = 1; 5 to 8 cannot be reached from it.
const u = makeUniverse({
  n: 16,
  warps: twoWays([[1, 2], [3, 4], [5, 6], [7, 8], [9, 10], [16, 4], [16, 11], [11, 1]]),
  explored: [1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 16],
  figs: [1],
  ports: {
    1: [3, full, even], 2: [4, full, even], 3: [5, full, even], 4: [6, full, even], 5: [4, full, even],
    6: [4, full, even], 7: [6, full, [2000, 2000, 2000]], 8: [3, full, [2000, 2000, 2000]], 9: [0, full, even],
    10: [0, full, even],
  },
  bubbles: { 5: [12, 1, 1, 1], 8: [13, 1, 0, 1] },
});
u.ports[u.portOf[7]].reporting = 0;

test("pairs two-way apart, each once from the side the report lists it from, with hops from the start", () => {
  const pairs = findTradePairs(u, { from: 16 });
  assert.deepEqual(pairs.map(({ p, q, rows, sections, estimate, nearer, fromStart, bubble, compromised }) =>
    [`${p}-${q}`, rows, sections, estimate, nearer, fromStart, bubble, compromised]), [
    ["3-4", [8, 11], [3, 4], 500, 4, 1, false, false],
    ["1-2", [0], [0], 500, 1, 2, false, false],
    ["5-6", [17], [4], 0, 5, -1, true, true],
    ["8-7", [6], [2], 1000, 8, -1, true, false],
  ]);
  assert.deepEqual(pairs.map(({ there, back }) => [there, back]), [[1, 1], [1, 1], [1, 1], [1, 1]]);
  assert.deepEqual(findTradePairs(u, { from: 16, within: 1 }).map(({ p }) => p), [3]);
  assert.deepEqual(pairsWithin(pairs, 1).map(({ p }) => p), [3]);
  assert.deepEqual(findTradePairs(u).map(({ p }) => p), [1, 3, 5, 8], "no start: none reached, by sector");
});

// Pairs of a BBS and an SSB port one two-way warp apart at 100 %, each port
// with `2E` of every product, so that the pair's estimate is E; each pair
// hangs off the start, 1, so many hops out.
function tradeRuns(runs) {
  const warps = [];
  const ports = {};
  for (const { bbs, ssb, estimate, path } of runs) {
    const amounts = [2 * estimate, 2 * estimate, 2 * estimate];
    ports[bbs] = [3, full, amounts];
    ports[ssb] = [4, full, amounts];
    warps.push([bbs, ssb]);
    path.forEach((s, i) => warps.push([i === 0 ? 1 : path[i - 1], s]));
  }
  return makeUniverse({ n: 50, warps: twoWays(warps), ports });
}

test("a trade run ranks by units a hop: the estimate over the hops there and the round trips its holds take", () => {
  const world = tradeRuns([
    { bbs: 2, ssb: 3, estimate: 100, path: [2] },  // 1 hop there, 2 trips: 100 / (1 + 2 * 2) = 20
    { bbs: 5, ssb: 6, estimate: 1000, path: [4, 5] },  // 2 hops, 20 trips: 1000 / 42
    { bbs: 7, ssb: 8, estimate: 50, path: [7] },  // 1 hop, 1 trip: 50 / 3
    { bbs: 10, ssb: 11, estimate: 200, path: [9, 10] },  // 2 hops, 4 trips: 200 / 10 = 20, as the first but further
    { bbs: 20, ssb: 21, estimate: 100, path: [21] },  // the SSB port nearer: 20 as the first, ties by the nearer port
    { bbs: 41, ssb: 40, estimate: 50, path: [40, 41, 1] },  // 1-40 and 1-41: as near, so the row's first, 41, is nearer
  ]);
  const ranked = (pairs) => pairs.map((pair) => [`${pair.p}-${pair.q}`, pair.nearer, pair.fromStart, pair.trips, pair.score.toFixed(2)]);
  const pairs = findTradePairs(world, { from: 1 });
  assert.deepEqual(ranked(pairs), [
    ["5-6", 5, 2, 20, "23.81"],
    ["2-3", 2, 1, 2, "20.00"],
    ["20-21", 21, 1, 2, "20.00"],
    ["10-11", 10, 2, 4, "20.00"],
    ["7-8", 7, 1, 1, "16.67"],
    ["41-40", 41, 1, 1, "16.67"],
  ]);
  assert.deepEqual(sortTradePairs(pairs, "estimate", true).map(({ p }) => p), [5, 10, 2, 20, 7, 41], "by estimate, ties in rank order");
  // Holds of 500 carry all but the largest estimate in one trip: the hops there weigh more.
  const for500 = ["5-6 2 166.67", "10-11 1 50.00", "2-3 1 33.33", "20-21 1 33.33", "7-8 1 16.67", "41-40 1 16.67"];
  const tripsAndScores = (list) => ranked(list).map(([pair, , , trips, score]) => `${pair} ${trips} ${score}`);
  assert.deepEqual(tripsAndScores(rankTradePairs(pairs, 500)), for500);
  // A search for other holds (and so from another start, then back) scores the pairs afresh.
  findTradePairs(world, { from: 40 });
  assert.deepEqual(tripsAndScores(findTradePairs(world, { from: 1, holds: 500 })), for500);
  // What to carry which way, from the nearer port.
  const [ssbNearer] = pairs.filter(({ p }) => p === 20);
  assert.equal(carryHook(pairCarry(world, ssbNearer)), "21:ore+org|20:equ");
  assert.equal(carryWords(pairCarry(world, ssbNearer)), "ore, org 21\u219220; equ 20\u219221");
});

test("a list ranked as it is read is, page by page, the ranked list", () => {
  // Pairs with few scores and few hops from the start, so that many tie.
  let seed = 7;
  const next = (k) => (seed = (seed * 1103515245 + 12345) % 2147483648) % k;
  const pairs = Array.from({ length: 500 }, (_, i) => ({
    p: i + 1, q: 1000 + i, nearer: 1 + next(40), far: 600 + i, fromStart: next(5) - 1, estimate: 50 * next(4), there: 1, back: 1 + next(2),
  }));
  const ranked = rankTradePairs(pairs.slice(), 60);
  for (const page of [1, 7, 50, 499]) {
    const read = rankedAsRead(pairs);
    const seen = [];
    for (let start = 0; start < read.length; start += page) seen.push(...read.slice(start, start + page));
    assert.deepEqual(seen.map(({ p }) => p), ranked.map(({ p }) => p), `pages of ${page}`);
  }
});

test("what to carry which way, for every class pair of the report's table", () => {
  // Row k's pair: sector 2k - 1 of the row's first class, 2k of its second.
  const ports = {};
  PAIR_ROWS.forEach(({ a, b }, k) => {
    ports[2 * k + 1] = [CLASS_MASKS[a - 1], full, even];
    ports[2 * k + 2] = [CLASS_MASKS[b - 1], full, even];
  });
  const world = makeUniverse({ n: 40, warps: twoWays(PAIR_ROWS.map((_, k) => [2 * k + 1, 2 * k + 2])), ports });
  const byFirst = new Map(findTradePairs(world).map((pair) => [pair.p, pair]));
  const carried = PAIR_ROWS.map((_, k) => carryHook(pairCarry(world, byFirst.get(2 * k + 1))).replace(/[0-9]+:/g, (m) => (m === `${2 * k + 1}:` ? "P:" : "Q:")));
  assert.deepEqual(carried, [
    "P:equ|Q:ore+org", "P:org|Q:ore+equ", "P:ore|Q:org+equ", "P:ore+org+equ|Q:",  // triple
    "P:equ|Q:org", "P:org|Q:equ",  // org/equ
    "P:equ|Q:ore", "P:ore|Q:equ",  // ore/equ
    "P:org|Q:ore", "P:ore|Q:org",  // ore/org
    "P:|Q:", "P:org|Q:ore", "P:|Q:ore", "P:org|Q:", "P:|Q:", "P:|Q:org", "P:ore|Q:", "P:|Q:", "P:ore+org|Q:", "P:|Q:",  // evil
  ]);
  assert.equal(carryWords(pairCarry(world, byFirst.get(1))), "equ 1\u21922; ore, org 2\u21921");
  assert.equal(carryWords(pairCarry(world, byFirst.get(7))), "ore, org, equ 7\u21928");
  assert.equal(carryWords(pairCarry(world, byFirst.get(21))), "nothing to carry: the two trade the same way");
});

test("pair lines as the report writes them: fig, stock marks, amounts, bubble mark, estimate", () => {
  assert.equal(pairLine(u, 1, 2), "+1     BBS (***) -  2     SSB (***) 1000-1000 / 1000-1000 / 1000-1000   500");
  assert.equal(pairLine(u, 8, 7), " 8     BBS (***) -  7     SBB (???) b 1000", "7 is unexplored and not reporting");
  const example = makeUniverse({
    n: 4567, warps: twoWays([[123, 4567]]), figs: [4567],
    ports: { 123: [3, [100, 100, 90], [2060, 2730, 2500]], 4567: [4, [80, 75, 100], [15000, 990, 3000]] },
  });
  example.ports[0].letters = "bbs";
  example.ports[1].letters = "Ssb";
  assert.equal(pairLine(example, 123, 4567),
    " 123   bbs (**9) - +4567  Ssb (87*) 2060-15k  / 2730-990  / 2500-3000   1112");
  example.ports[1].reporting = 0;
  assert.equal(pairLine(example, 123, 4567), " 123   bbs (**9) - +4567  Ssb (...)   1112");
});

test("the estimate: its cases, a port at 0 %, a reserve of 100 and classes without a case", () => {
  const port = (buying, amount, percent = full) => ({ buying, amount, percent, reporting: 1 });
  assert.equal(pairTradeVolume(port(0, even), port(7, [600, 600, 1000])), 550);  // min(1500, 1100) / 2
  assert.equal(pairTradeVolume(port(0, [1001, 0, 0]), port(7, [1001, 1001, 1001])), 250);  // 501 / 2, rounded down
  assert.equal(pairTradeVolume(port(3, [999, 999, 999]), port(6, even)), 500);  // 999 - 499
  assert.equal(pairTradeVolume(port(3, [999, 999, 999], [0, 100, 100]), port(6, even)), 0, "nothing above 0 %");
  assert.equal(pairTradeVolume(port(5, [2000, 999, 3000], [100, 45, 100]), port(2, [4000, 2000, 4000])), 0);  // 999 - 1110
  assert.equal(pairTradeVolume(port(3, even), port(4, even), 100), 0);
  assert.equal(pairTradeVolume(port(4, even), port(4, even)), 0);
  assert.equal(pairTradeVolume(port(4, even), null), 0);
});

// 1 BBS -> 3 -> 2 BSB, 2 -> 1 (1's entry for 2 is a warp in, no way out);
// 6 BBS -> 8 -> 9 -> 7 SSB -> 6; 4 SSB -> 5 SBS with no way back.
const apart = makeUniverse({
  n: 9,
  warps: {
    1: [[2, 2], [3, 0]], 2: [[1, 0], [3, 2]], 3: [[1, 2], [2, 0]], 4: [[5, 0]], 5: [[4, 2]],
    6: [[7, 2], [8, 0]], 7: [[6, 0], [9, 2]], 8: [[6, 2], [9, 0]], 9: [[7, 0], [8, 2]],
  },
  ports: { 1: [3, full, even], 2: [5, full, even], 4: [4, full, even], 5: [2, full, even], 6: [3, full, even], 7: [4, full, even] },
});

test("ports a few hops apart each way, over the warps a course flies", () => {
  const found = (k) => findTradePairs(apart, { apart: k }).map(({ p, q, there, back }) => [`${p}-${q}`, there, back]);
  assert.deepEqual(found(1), []);
  assert.deepEqual(found(2), [["1-2", 2, 1]]);
  assert.deepEqual(found(3), [["1-2", 2, 1], ["6-7", 3, 1]]);
  assert.deepEqual(found(9), found(3));
});

test("sorting by a column and filtering by section, least estimate and compromised bubbles", () => {
  const pairs = findTradePairs(u, { from: 16 });
  assert.deepEqual(sortTradePairs(pairs, "fromStart").map(({ p }) => p), [3, 1, 5, 8], "unreached last");
  assert.deepEqual(sortTradePairs(pairs, "p", true).map(({ p }) => p), [8, 5, 3, 1]);
  assert.deepEqual(sortTradePairs(pairs, "nonsense").map(({ p }) => p), [3, 1, 5, 8]);
  const keys = TRADE_SECTIONS.map(({ key }) => key);
  assert.deepEqual(keys.map((section) => filterTradePairs(pairs, { section }).map(({ p }) => p)),
    [[1], [], [8], [3], [3, 5]]);
  assert.deepEqual(filterTradePairs(pairs, { section: "bogus" }), []);
  assert.deepEqual(filterTradePairs(pairs, { least: 500, leaveOutCompromised: true }).map(({ p }) => p), [3, 1, 8]);
  assert.deepEqual(filterTradePairs(pairs, { leaveOutCompromised: true }).map(({ p }) => p), [3, 1, 8]);
});
