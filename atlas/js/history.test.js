import { test } from "node:test";
import assert from "node:assert/strict";
import { decodeHistory, refillRates, busyPorts } from "./history.js";

// The history of atlas_test.cpp's hand-made digest, as the run writes it.
const WRITTEN = {
  at: ["2026-01-01 10:00:00", "2026-01-02 10:00:00", "2026-01-03 10:30:00"], known: [5, 6, 8], ports: [2, 2, 1],
  observed: [7, "wMAo8EnBAgBA", 12, "FA+//D+B"],
};

test("the compact observations decode to each port's runs and amounts; what does not fit is left out", () => {
  const h = decodeHistory(WRITTEN, 20);
  assert.deepEqual(h.runs.map(({ known, ports }) => [known, ports]), [[5, 2], [6, 2], [8, 1]]);
  assert.equal(h.runs[2].time - h.runs[1].time, (24 * 60 + 30) * 60000);
  assert.deepEqual([...h.observed], [
    [7, [{ run: 0, amount: [100, 0, 2500] }, { run: 2, amount: [90, 16, 2500] }]],
    [12, [{ run: 1, amount: [1, 65535, 31] }]],
  ]);
  assert.equal(decodeHistory(undefined, 20), null);
  // A sector beyond the universe, a run beyond the runs, an amount below 0,
  // a stray character: the port, or the rest of its list, is left out.
  const odd = decodeHistory({ ...WRITTEN, observed: [21, "AAA", 3, "AAABFAA", 4, "CAA", 5, "EAA*AAA"] }, 20);
  assert.deepEqual([...odd.observed], [[3, [{ run: 0, amount: [0, 0, 0] }]], [5, [{ run: 0, amount: [1, 0, 0] }]]]);
});

// Runs at the given times, and one port's observations of them.
function port(times, amounts) {
  const history = { runs: times.map((at) => ({ time: Date.parse(`${at}Z`) })) };
  return [history, amounts.map((amount, run) => ({ run, amount }))];
}

test("a product refills at its latest rise by the days between those runs; none under a minute apart, nor without a rise", () => {
  const [history, seen] = port(
    ["2026-01-01T00:00:00", "2026-01-01T12:00:00", "2026-01-03T12:00:00", "2026-01-03T12:00:59"],
    [[100, 500, 900], [300, 400, 900], [1300, 100, 800], [1400, 50, 900]]);
  // Ore: the latest rise, 100 in 59 s, says nothing; equ's the same. Org
  // never rose.
  assert.deepEqual(refillRates(history, seen), []);
  // Without the last run: ore 1000 in 2 days; equ fell only.
  assert.deepEqual(refillRates(history, seen.slice(0, 3)), [{ product: 0, perDay: 500 }]);
  // 200 in half a day, 333 in three days (111 a day, rounded).
  const [h2, s2] = port(["2026-01-01T00:00:00", "2026-01-01T12:00:00", "2026-01-04T12:00:00"], [[100, 0, 0], [300, 0, 0], [300, 0, 333]]);
  assert.deepEqual(refillRates(h2, s2), [{ product: 0, perDay: 400 }, { product: 2, perDay: 111 }]);
});

test("busy ports: a fall between the last two observations, summed over the products that fell; largest first, ties by sector", () => {
  const at = ["2026-01-01 00:00:00", "2026-01-02 00:00:00", "2026-01-03 00:00:00"];
  const observed = [
    // 9: 50 ore and 20 equ fell, org rose: 70. 4: 70 fell before, 30 between
    // its last two; 2 was observed once, 8 only rose.
    9, [[0, 100, 100, 100], [1, 50, 200, 80]],
    4, [[0, 500, 0, 0], [1, 430, 0, 0], [2, 400, 40, 0]],
    2, [[2, 10, 10, 10]],
    30, [[0, 1000, 1000, 1000], [2, 1000, 1000, 999]],
    8, [[0, 5, 5, 5], [1, 6, 5, 5]],
  ];
  // Coded as the run codes them: ore's change times 2 (plus 1 and the runs
  // skipped less one after it), org's, equ's.
  const code = (v) => {
    let s = "";
    do {
      const five = v % 32;
      v = Math.floor(v / 32);
      s += "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[five + (v > 0 ? 32 : 0)];
    } while (v > 0);
    return s;
  };
  const zigzag = (d) => (d < 0 ? -2 * d - 1 : 2 * d);
  const strings = [];
  for (let i = 0; i < observed.length; i += 2) {
    let prev = [-1, 0, 0, 0];
    strings.push(observed[i], observed[i + 1].map((o) => {
      const gap = o[0] - prev[0];
      const text = code(2 * zigzag(o[1] - prev[1]) + (gap > 1 ? 1 : 0)) + (gap > 1 ? code(gap - 2) : "")
        + code(zigzag(o[2] - prev[2])) + code(zigzag(o[3] - prev[3]));
      prev = o;
      return text;
    }).join(""));
  }
  const busy = busyPorts(decodeHistory({ at, known: [], ports: [], observed: strings }, 40));
  assert.deepEqual(busy, [
    { sector: 9, fall: 70, falls: [50, 0, 20] },
    { sector: 4, fall: 30, falls: [30, 0, 0] },
    { sector: 30, fall: 1, falls: [0, 0, 1] },
  ]);
});
