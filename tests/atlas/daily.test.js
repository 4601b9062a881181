// The atlas's answers to a player's daily questions, on the 20000-sector
// realistic game after a second capture compared with the first run's map:
// trade pairs against the port pair report, and a trade run chosen by
// keyboard on a phone-wide screen; unexplored sectors against the hop counts
// of a sweep, changes against the change log and, near a sector, against a
// sweep; text found against the notes file. Each view is opened through its
// address.

import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import path from "node:path";
import { lastLogRecord } from "./games.js";
import { bigGame, goTo } from "./pages.js";
import { sweepFrom } from "../../atlas/js/course.js";
import { CHANGE_KINDS, portOf } from "../../atlas/js/universe.js";
import { CHANGE_HEADINGS } from "../../atlas/js/changes.js";

// The first run's atlas (game.first) has no map to compare with.
const game = bigGame({ second: true });
const { errors } = game;
const open = (hash, file = game.file) => game.open(hash, { file });
const rows = (page, selector, names) => page.locator(selector).evaluateAll((trs, keys) =>
  trs.map((tr) => Object.fromEntries(keys.map((k) => [k, tr.dataset[k]]))), names);

test("trade: pairs one hop apart are the port pair report's, estimates and all, the most units a hop first", async () => {
  // The report's pairs: "  " + a pair line, its estimate last.
  const report = new Map();
  for (const line of readFileSync(path.join(game.dir, "game_portpairs.txt"), "latin1").split("\r\n")) {
    const pair = /^  [ +]([0-9]+) .* - [ +]([0-9]+) .* ([0-9]+)$/.exec(line);
    if (pair) report.set(`${pair[1]}-${pair[2]}`, Number(pair[3]));
  }
  const page = await open("#trade=1&apart=1&within=all");
  assert.equal(await page.locator("#trade-count").textContent(), `${report.size} pairs listed`);
  assert.match(await page.locator("#status").textContent(), new RegExp(`^${report.size} pairs of ports up to 1 hop apart each way`));
  const listed = await rows(page, "#trade-table tbody tr", ["pair", "estimate", "sector", "score"]);
  assert.equal(listed.length, 50);
  const scores = listed.map((r) => Number(r.score));
  assert.deepEqual(scores, scores.slice().sort((a, b) => b - a));
  assert.match(await page.locator("#trade-result button.more").textContent(), new RegExp(`^more \\(50 of ${report.size} shown\\)$`));
  for (const { pair, estimate } of listed) assert.equal(Number(estimate), report.get(pair), pair);
  // A row draws its two ports, marked, and the course to the nearer.
  await page.locator("#trade-table tbody tr").nth(3).locator("td").nth(2).click();
  const [p, q] = listed[3].pair.split("-");
  assert.deepEqual(await page.locator("#drawing g.sector.about").evaluateAll((gs) => gs.map((g) => g.dataset.sector).sort()), [p, q].sort());
  assert.ok(await page.locator("#drawing line.course").count() >= 2);
  // Three hops apart: many more pairs, still every one of the report's.
  await page.goto(`file://${game.file}#trade=1&apart=3&within=all`);
  await page.waitForFunction(() => /up to 3 hops/.test(document.getElementById("status").textContent));
  const count = Number((await page.locator("#trade-count").textContent()).split(" ")[0]);
  assert.ok(count > report.size, `${count} pairs up to 3 hops apart`);
  await page.close();
});

test("trade by keyboard on a phone-wide screen: Tab to the second row's draw button, Enter draws the pair", async () => {
  const page = await game.open("#trade=1&apart=1&within=10&holds=50", { viewport: { width: 400, height: 800 } });
  // The pair and its units a hop are in view; the other columns may scroll.
  const list = await page.locator("#trade-table").evaluate((table) => table.closest(".list").getBoundingClientRect().toJSON());
  for (const sort of ["p", "score"]) {
    const head = await page.locator(`#trade-table th:has(button[data-sort="${sort}"])`).boundingBox();
    assert.ok(head.x >= list.left && head.x + head.width <= list.right, `${sort}: ${JSON.stringify(head)} in ${JSON.stringify(list)}`);
  }
  // From the last filter: the eight sorting headers, the first row's draw
  // button and its two sector links, then the second row's draw button.
  await page.focus("#trade-filters [name=leaveOutCompromised]");
  for (let i = 0; i < 12; i++) await page.keyboard.press("Tab");
  const second = page.locator("#trade-table tbody tr").nth(1);
  assert.ok(await second.locator("button.draw").evaluate((button) => button === document.activeElement));
  const { pair, near, carry } = await second.evaluate((tr) => ({ ...tr.dataset }));
  await page.keyboard.press("Enter");
  const [p, q] = pair.split("-");
  await page.waitForFunction((drawn) => document.getElementById("status").textContent.includes(drawn), `drawn: ${p} \u2013 ${q}`);
  assert.deepEqual(await page.locator("#drawing g.sector.about").evaluateAll((gs) => gs.map((g) => g.dataset.sector).sort()), [p, q].sort());
  assert.equal(await second.getAttribute("aria-current"), "true");
  assert.equal(await page.locator("#trade-table tbody tr[aria-current]").count(), 1);
  assert.match(carry, new RegExp(`^${near}:[a-z+]*\\|${near === p ? q : p}:[a-z+]*$`));
  await page.close();
  assert.deepEqual(errors, []);
});

test("explore: the unexplored sectors a course reaches within the hops chosen, nearest first, each with its course", async () => {
  const { u } = game;
  const { hops } = sweepFrom(u, 1);
  let reached = 0;
  let near = 0;
  for (let s = 2; s <= u.n; s++) {
    if (hops[s] < 0 || u.explored[s]) continue;
    reached++;
    if (hops[s] <= 5) near++;
  }
  const page = await open("#explore=1&within=5");
  assert.equal(await page.locator("#explore-count").textContent(),
    `${reached} unexplored sectors a known course from 1 reaches, ${near} of them within 5 hops; nearest first`);
  const listed = await rows(page, "#explore-table tbody tr", ["sector", "hops"]);
  assert.equal(listed.length, Math.min(near, 50), "the list holds those within 5 hops");
  for (const { sector, hops: h } of listed) assert.equal(Number(h), hops[Number(sector)], sector);
  assert.deepEqual(listed.map((r) => Number(r.hops)), listed.map((r) => Number(r.hops)).sort((a, b) => a - b));
  // None within a hop: the list says why.
  await goTo(page, "#explore=1&within=1");
  assert.equal(await page.locator("#explore-table-why").textContent(),
    `no unexplored sector within 1 hop of 1; the nearest, ${listed[0].sector}, lies ${listed[0].hops} hops away`);
  await goTo(page, "#explore=1&within=5");
  await page.locator("#explore-table tbody tr").first().getByRole("link", { name: "course" }).click();
  await page.waitForFunction(() => location.hash.startsWith("#course=1-"));
  assert.equal(await page.locator("#course-hops").textContent(), `${listed[0].hops} hops`);
  await page.close();
});

test("changes: the change log's lines by kind, changed sectors marked, and why a first run has none", async () => {
  const log = lastLogRecord(game.dir);
  // The new warps of sectors newly explored are no news: they are listed as explored.
  const explored = new Set(game.u.changes.explored.map(({ sector }) => String(sector)));
  const expected = {
    "port-gone": log.filter((l) => l.endsWith(": new port found.")).map((l) => l.trim().split(":")[0]),
    up: log.filter((l) => / up by [0-9]+\.$/.test(l)).map((l) => l.trim().split(":")[0]),
    "new-warps": log.filter((l) => l.includes(": new warps found (")).map((l) => l.trim().split(":")[0]).filter((s) => !explored.has(s)),
  };
  assert.ok(expected["new-warps"].length > 0);
  const page = await open("#changes");
  for (const [kind, sectors] of Object.entries(expected)) {
    assert.match(await page.locator(`#changes-${kind}`).textContent(), new RegExp(`\\(${sectors.length}\\)$`), kind);
    const listed = await rows(page, `tr[data-change="${kind}"]`, ["sector"]);
    assert.deepEqual(listed.map((r) => r.sector), sectors.slice(0, 50), kind);
  }
  // The first new-warps line, numbers and all.
  const line = log.find((l) => l.includes(": new warps found (") && !explored.has(l.trim().split(":")[0]));
  const [, sector, warps] = /([0-9]+): new warps found \(([0-9 ]*)\)/.exec(line);
  assert.equal(await page.locator(`tr[data-change="new-warps"][data-sector="${sector}"] td`).nth(1).textContent(), `new warps: ${warps}`);
  await page.locator(`tr[data-change="new-warps"][data-sector="${sector}"] a`).click();
  await page.waitForFunction((s) => document.querySelector("#details h2")?.textContent === `Sector ${s}`, sector);
  assert.ok((await page.locator("#details ul.changes li").allTextContents()).includes(`new warps: ${warps}`));
  assert.equal(await page.locator(`#drawing g.sector[data-sector="${sector}"] path.changed`).count(), 1);
  await page.close();

  // Near a sector: only the changes within so many hops as flown, each kind
  // nearest first; a port found shows its class; the drawing marks each kind.
  const { u } = game;
  const { hops } = sweepFrom(u, 1);
  const near = await open("#changes=1&within=6");
  const found = await rows(near, "#changes-result tr[data-change]", ["change", "sector", "hops", "class"]);
  const expectedNear = CHANGE_KINDS.flatMap(({ key, name }) => u.changes[key]
    .filter(({ sector }) => hops[sector] >= 0 && hops[sector] <= 6 && !(key === "newWarps" && explored.has(String(sector))))
    .sort((x, y) => hops[x.sector] - hops[y.sector] || x.sector - y.sector)
    .map(({ sector }) => ({ change: name, sector: String(sector), hops: String(hops[sector]), class: portOf(u, sector)?.letters })));
  assert.ok(expectedNear.some((row) => row.change === "new-port"), "a port found near 1");
  assert.deepEqual(found, expectedNear.map((row) => ({ ...row, class: row.change === "new-port" ? row.class : undefined })));
  // Each changed sector drawn has a mark for each kind changed there, and the
  // legend names the kinds drawn.
  const kindsAt = new Map();
  for (const { sector, change } of found) kindsAt.set(sector, [...new Set([...(kindsAt.get(sector) || []), change])]);
  const marked = await near.locator("#drawing g.sector:has(path.change-mark)").evaluateAll((gs) => gs.map((g) =>
    [g.dataset.sector, [...g.querySelectorAll("path.change-mark")].map((mark) => mark.getAttribute("class").replace("change-mark kind-", ""))]));
  assert.ok(marked.length >= 10, `${marked.length} changed sectors drawn`);
  for (const [sector, kinds] of marked) {
    assert.deepEqual(kinds, CHANGE_KINDS.map(({ name }) => name).filter((name) => kindsAt.get(sector).includes(name)), sector);
  }
  const drawnKinds = new Set(marked.flatMap(([, kinds]) => kinds));
  assert.deepEqual(await near.locator("#legend .change-kind").allTextContents(),
    CHANGE_KINDS.flatMap(({ name }, kind) => (drawnKinds.has(name) ? [CHANGE_HEADINGS[kind]] : [])));
  await near.close();

  const firstRun = await open("#changes", game.first);
  assert.match(await firstRun.locator("#changes-why").textContent(), /^this run did not compare with the last run's map/);
  await firstRun.close();
  assert.deepEqual(errors, []);
});

test("find: a number opens its sector, a text lists the notes and logs that hold it, nearest first, and a number asked for as text is text", async () => {
  // The notes file's lines "sector : text" that hold "safe", any case.
  const noted = new Set();
  for (const line of readFileSync(path.join(game.dir, "game_notes.txt"), "latin1").split("\r\n")) {
    const note = /^ *([0-9]+) : (.*)$/.exec(line);
    if (note && note[2].toLowerCase().includes("safe")) noted.add(note[1]);
  }
  const page = await open("");
  await page.fill("#find-box input", "SAFE");
  await page.press("#find-box input", "Enter");
  await page.waitForFunction(() => location.hash === "#find=SAFE&from=1");
  const found = await rows(page, "#find-table tbody tr", ["sector"]);
  for (const s of noted) assert.ok(found.some((r) => r.sector === s), s);
  assert.equal(await page.locator("#find-table tbody tr mark").first().textContent(), "safe");
  // Asked for as text, a number is looked for in the logs ("hostile fighters,
  // 300"); each row has its hops from where the player was, nearest first,
  // and the nearest are drawn, marked.
  await goTo(page, "#sector=1374&hops=1");
  await page.fill("#find-box input", '"300');
  await page.press("#find-box input", "Enter");
  await page.waitForFunction(() => location.hash === "#find=300&from=1374");
  const { hops } = sweepFrom(game.u, 1374);
  const near = (await rows(page, "#find-table tbody tr", ["sector", "hops"])).map((r) => [Number(r.sector), Number(r.hops)]);
  assert.ok(near.length > 10, `${near.length} found`);
  assert.deepEqual(near, near.map(([s]) => [s, hops[s]]).sort((a, b) => (a[1] < 0) - (b[1] < 0) || a[1] - b[1]));
  const marked = await page.locator("#drawing g.sector.about").evaluateAll((gs) => gs.map((g) => Number(g.dataset.sector)));
  assert.ok(marked.includes(near[0][0]) && marked.every((s) => near.some(([f]) => f === s)), marked.join());
  assert.equal(await page.inputValue("#find-box input"), '"300"');
  await page.fill("#find-box input", "0");
  await page.press("#find-box input", "Enter");
  assert.equal(await page.locator("#find-box input").getAttribute("aria-invalid"), "true");
  await page.fill("#find-box input", "1374");
  await page.press("#find-box input", "Enter");
  await page.waitForFunction(() => location.hash === "#sector=1374&hops=2");
  await page.close();
  assert.deepEqual(errors, []);
});
