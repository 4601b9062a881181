// Times the atlas in headless Chromium (README, "Speed"): how long a page takes
// from opening to its first view drawn, and then views a player asks for on a
// large game, each from its address to the next frame painted: a course across
// the whole universe (between the two sectors farthest apart that the course
// search finds; its search alone too) and one by eight stops across it, the
// largest bubble, the trade pairs up to three hops apart, the same ranked for
// other holds, the unexplored sectors from terra and the changes near it.
//
//   node bench/atlas_page.mjs ATLAS_FILE [RUNS]     (default 7; medians)
//
// Needs what `scripts/deps.sh atlas` installs (chromium, tests/atlas's packages).

import { createRequire } from "node:module";
import { statSync } from "node:fs";
import path from "node:path";
import { sweepFrom } from "../atlas/js/course.js";
import { listBubbles } from "../atlas/js/bubbles.js";
import { readAtlas } from "../tests/atlas/games.js";

const require = createRequire(new URL("../tests/atlas/package.json", import.meta.url));
const { chromium } = require("playwright-core");

const file = path.resolve(process.argv[2]);
const runs = Number(process.argv[3] || 7);
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];

// The two sectors farthest apart: the farthest from sector 1, then the
// farthest from that one.
const u = readAtlas(file);
const farthest = (from) => {
  const { hops } = sweepFrom(u, from);
  let best = from;
  for (let s = 1; s <= u.n; s++) if (hops[s] > hops[best]) best = s;
  return { sector: best, hops: hops[best] };
};
const a = farthest(1).sector;
const { sector: b, hops: across } = farthest(a);

// Eight stops spread over the universe, each one a course from terra reaches
// and that has a course back to it, so that every leg between them has one.
const stops = [];
for (let k = 1; k <= 8; k++) {
  let s = Math.floor((k * u.n) / 9);
  while (s < u.n && !(u.hopsFrom[1][s] < 255 && u.hopsTo[1][s] < 255)) s++;
  stops.push(s);
}

// The largest bubble the run found.
const biggest = listBubbles(u).reduce((a, b) => (b.size > a.size ? b : a), { size: 0, gate: 0 });

// Each view timed from the change of address to the next frame painted, its
// computing, layout and drawing included.
const VIEWS = [
  [`course ${a} > ... > ${b} (${across} hops)`, `#course=${a}-${b}`],
  [`largest bubble (gate ${biggest.gate}, ${biggest.size} sectors)`, `#bubble=${biggest.gate}`],
  [`course ${a} > ${b} by 8 stops`, `#course=${[a, ...stops, b].join("-")}`],
  ["trade pairs from 1, up to 3 hops apart", "#trade=1&apart=3&within=all"],
  ["the same, ranked for holds of 200 within 10 hops", "#trade=1&apart=3&within=10&holds=200"],
  ["unexplored sectors from 1", "#explore=1&within=all"],
  ["changes near 1, within 10 hops", "#changes=1&within=10"],
];

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
});
const ready = [];
const search = [];
const times = VIEWS.map(() => []);
for (let i = 0; i <= runs; i++) {
  const tab = await browser.newPage({ viewport: { width: 1400, height: 850 } });
  await tab.goto(`file://${file}`);
  await tab.waitForSelector("html[data-ready]", { state: "attached" });
  const readyMs = Number(await tab.getAttribute("html", "data-ready"));
  const viewMs = [];
  for (const [, hash] of VIEWS) {
    viewMs.push(await tab.evaluate(async (h) => {
      const started = performance.now();
      // The page's own handler runs first: it was added before this one.
      await new Promise((resolve) => {
        window.addEventListener("hashchange", () => resolve(), { once: true });
        location.hash = h;
      });
      await new Promise((resolve) => requestAnimationFrame(() => resolve()));
      return performance.now() - started;
    }, hash));
    if (hash === VIEWS[0][1]) search.push(Number(await tab.getAttribute("#course-result", "data-search-ms")));
  }
  if (i > 0) {
    ready.push(readyMs);
    viewMs.forEach((ms, k) => times[k].push(ms));
  } else {
    search.pop();
  }
  await tab.close();
}
await browser.close();
console.log(`atlas: ${(statSync(file).size / 1048576).toFixed(2)} MB, ${u.n} sectors`);
console.log(`first view drawn: ${median(ready)} ms after opening (median of ${runs}; ${Math.min(...ready)}..${Math.max(...ready)})`);
console.log(`course search across the universe: ${median(search).toFixed(1)} ms (median of ${runs})`);
VIEWS.forEach(([name], k) => {
  console.log(`${name}: ${median(times[k]).toFixed(1)} ms, computed and drawn (median of ${runs}; ` +
    `${Math.min(...times[k]).toFixed(1)}..${Math.max(...times[k]).toFixed(1)})`);
});
