// Times the atlas in headless Chromium (README, "Speed"): how long a page takes
// from opening to its first view drawn, and a course across the whole universe:
// between the two sectors farthest apart that the course search finds, the
// search itself and the whole view (search, layout, drawing).
//
//   node bench/atlas_page.mjs ATLAS_FILE [RUNS]     (default 7; medians)
//
// Needs what `scripts/deps.sh atlas` installs (chromium, tests/atlas's packages).

import { createRequire } from "node:module";
import { statSync } from "node:fs";
import path from "node:path";
import { sweepFrom } from "../report/atlas/js/course.js";
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

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync"],
});
const ready = [];
const search = [];
const view = [];
for (let i = 0; i <= runs; i++) {
  const tab = await browser.newPage({ viewport: { width: 1400, height: 850 } });
  await tab.goto(`file://${file}`);
  await tab.waitForSelector("html[data-ready]", { state: "attached" });
  const readyMs = Number(await tab.getAttribute("html", "data-ready"));
  const [viewMs, searchMs] = await tab.evaluate(async (hash) => {
    const result = document.getElementById("course-result");
    const started = performance.now();
    const shown = new Promise((resolve) => new MutationObserver((_, observer) => {
      observer.disconnect();
      resolve();
    }).observe(result, { childList: true }));
    location.hash = hash;
    await shown;
    // The drawing is in place once the next frame is painted.
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    return [performance.now() - started, Number(result.dataset.searchMs)];
  }, `#course=${a}-${b}`);
  if (i > 0) {
    ready.push(readyMs);
    search.push(searchMs);
    view.push(viewMs);
  }
  await tab.close();
}
await browser.close();
console.log(`atlas: ${(statSync(file).size / 1048576).toFixed(2)} MB, ${u.n} sectors`);
console.log(`first view drawn: ${median(ready)} ms after opening (median of ${runs}; ${Math.min(...ready)}..${Math.max(...ready)})`);
console.log(`course ${a} > ... > ${b} (${across} hops): search ${median(search).toFixed(1)} ms, ` +
  `whole view ${median(view).toFixed(1)} ms (medians of ${runs})`);
