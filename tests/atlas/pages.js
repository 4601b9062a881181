// Headless Chromium for the atlas tests: one browser a test file, pages opened
// from disk at a deep link, and every page error or request beyond the file
// itself recorded, for the test to assert there were none. CHROMIUM names the
// browser (default /usr/bin/chromium).

import { after, before } from "node:test";
import { copyFileSync, readFileSync } from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { chromium } from "playwright-core";
import { generatedAtlas, readAtlas, scratch, secondAtlas } from "./games.js";

const AXE = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");

export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  });
}

// Opens `file` at `hash` and waits until the first view is drawn. Page errors
// and requests for anything but the file go to `errors`.
export async function openPage(browser, file, hash, errors, { viewport = { width: 1400, height: 850 }, ...options } = {}) {
  const page = await browser.newPage({ viewport, ...options });
  page.on("pageerror", (error) => errors.push(String(error)));
  page.on("request", (request) => {
    if (!request.url().startsWith(`file://${file}`)) errors.push(`request: ${request.url()}`);
  });
  await page.goto(`file://${file}${hash}`);
  await page.waitForSelector("html[data-ready]", { state: "attached" });
  return page;
}

// The 20000-sector realistic game (seed 1) run with the atlas, and a browser,
// for a test file that tries the atlas at a real game's size: made before the
// file's tests, taken away after them. With `second`, a later capture is then
// run over it with /mm:7, and `first` keeps the first run's atlas. The
// session's `open(hash, options)` opens its atlas (or `first` given as
// options.file); page errors and stray requests gather in `errors`.
export function bigGame({ second = false } = {}) {
  const game = { errors: [] };
  before(async () => {
    game.work = scratch();
    game.dir = path.join(game.work.dir, "game");
    game.file = generatedAtlas(game.dir, { sectors: 20000, seed: 1 });
    if (second) {
      game.first = path.join(game.work.dir, "first_atlas.html");
      copyFileSync(game.file, game.first);
      secondAtlas(game.dir, { sectors: 20000, seed: 1 });
    }
    game.u = readAtlas(game.file);
    game.browser = await launchBrowser();
  });
  after(async () => {
    await game.browser?.close();
    game.work?.remove();
  });
  game.open = (hash, { file = game.file, ...options } = {}) => openPage(game.browser, file, hash, game.errors, options);
  return game;
}

// Moves an open page to `hash` and waits until the page has shown it.
export async function goTo(page, hash) {
  await page.evaluate((h) => new Promise((resolve) => {
    if (location.hash === h) resolve();
    addEventListener("hashchange", () => requestAnimationFrame(() => resolve()), { once: true });
    location.hash = h;
  }), hash);
}

// What of the page lies beyond the window or its panel, as the page is now
// (run in the page: page.evaluate(outOfBounds)).
export function outOfBounds() {
  const found = [];
  const doc = document.documentElement;
  if (doc.scrollWidth > innerWidth || doc.scrollHeight > innerHeight) found.push(`the page is ${doc.scrollWidth} x ${doc.scrollHeight}`);
  for (const e of [document.querySelector("main"), ...document.querySelectorAll("#tools, #map, #details, main .list, main .scroll")]) {
    if (e.offsetParent === null) continue;
    const r = e.getBoundingClientRect();
    const name = e.id ? `#${e.id}` : `the list of ${e.querySelector("table")?.id}`;
    if (e.scrollWidth > e.clientWidth + 1) found.push(`${name} is ${e.scrollWidth - e.clientWidth} px too narrow for what it holds`);
    if (r.right > innerWidth + 0.5 || (e.id && r.bottom > innerHeight + 0.5 && innerWidth > 1000)) found.push(`${name} ends at ${r.right} x ${r.bottom}`);
  }
  // The drawing shows its centre and what the view is about, above the legend.
  const drawing = document.getElementById("drawing").getBoundingClientRect();
  if (drawing.bottom > document.getElementById("legend").getBoundingClientRect().top + 0.5) found.push("the legend covers the drawing");
  if (!location.hash.startsWith("#bubble")) {
    for (const g of document.querySelectorAll("#drawing g.sector.about, #drawing g.sector.centre")) {
      const c = g.querySelector("circle.body").getBoundingClientRect();
      if (c.top < drawing.top - 0.5 || c.bottom > drawing.bottom + 0.5 || c.left < drawing.left - 0.5 || c.right > drawing.right + 0.5) {
        found.push(`sector ${g.dataset.sector} is cut off`);
      }
    }
  }
  return found;
}

// The audit's serious and critical findings on the page as it is: "rule: the
// elements".
export async function audit(page) {
  await page.addScriptTag({ content: AXE });
  return page.evaluate(async () => {
    const { violations } = await globalThis.axe.run(document);
    return violations.filter((v) => v.impact === "serious" || v.impact === "critical")
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`);
  });
}
