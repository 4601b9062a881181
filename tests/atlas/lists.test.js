// The atlas's long lists on the 20000-sector generated game, as a player meets
// them: the port finder's count, pages, hops there and back and filters
// against the run's own hop tables from terra, and the bubble list's header,
// chosen row and filters.

import { test } from "node:test";
import assert from "node:assert/strict";
import { bigGame } from "./pages.js";
import { listBubbles } from "../../atlas/js/bubbles.js";

const game = bigGame();
const { errors } = game;
const open = (hash) => game.open(hash);

// The ports that buy equipment a course from terra reaches, as the run's
// tables count the hops from terra and back: [sector, hops, back], nearest
// first, equally near in sector order. `keep` filters them.
function equipmentBuyersFromTerra(keep = () => true) {
  const [from, to] = [game.u.hopsFrom[1], game.u.hopsTo[1]];
  return game.u.ports.filter((port) => ((port.buying >> 2) & 1) === 1 && from[port.sector] < 255 && keep(port))
    .map((port) => [port.sector, from[port.sector], to[port.sector]])
    .sort((a, b) => a[1] - b[1] || a[0] - b[0]);
}

const listedPorts = (page) => page.locator("#ports-table tbody tr").evaluateAll((trs) => trs.map((tr) =>
  [Number(tr.dataset.sector), Number(tr.cells[1].textContent), tr.cells[2].textContent === "no route" ? 255 : Number(tr.cells[2].textContent)]));

test("the port finder states the true count, lists it a page at a time, and counts hops there and back as the run does", async () => {
  assert.equal(game.u.specials[1], 1);
  const expected = equipmentBuyersFromTerra();
  assert.ok(expected.length > 1000, `only ${expected.length} ports found`);
  const page = await open("#ports=1&want=buys-equ");
  const status = await page.locator("#status").textContent();
  assert.match(status, new RegExp(`^${expected.length} ports that buy equipment found from 1; \\d+ drawn \\(marked\\)`));
  assert.match(await page.locator("#ports-count").textContent(), new RegExp(`^${expected.length} ports found`));
  assert.deepEqual(await listedPorts(page), expected.slice(0, 25));
  const more = page.locator("#ports-result button.more");
  assert.equal(await more.textContent(), `more (25 of ${expected.length} shown)`);
  await more.focus();
  await page.keyboard.press("Enter");
  assert.deepEqual(await listedPorts(page), expected.slice(0, 50));
  assert.equal(await more.textContent(), `more (50 of ${expected.length} shown)`);
  assert.equal(await page.evaluate(() => document.activeElement.closest("tr")?.rowIndex), 26, "the keyboard goes on at the first new row");

  // The ports marked in the drawing are ports found, as many as the status says.
  const marked = await page.locator("#drawing g.sector.about").evaluateAll((gs) => gs.map((g) => Number(g.dataset.sector)));
  assert.equal(marked.length, Number(/; (\d+) drawn/.exec(status)[1]));
  const found = new Set(expected.map(([s]) => s));
  for (const s of marked) assert.ok(found.has(s), `${s} is marked but was not found`);

  // The longest way back of the listed rows is the course the page plots back.
  const [port, , back] = expected.slice(0, 50).reduce((a, b) => (b[2] > a[2] ? b : a));
  await page.goto(`file://${game.file}#course=${port}-1`);
  await page.waitForFunction(() => document.getElementById("course-hops") !== null);
  assert.equal(await page.locator("#course-hops").textContent(), `${back} hops`);
  await page.close();
});

test("the port finder's filters narrow the count, and a typed mistake stops the search and says why", async () => {
  const page = await open("#ports=1&want=buys-equ");
  const form = page.locator("#ports-form");
  await form.locator('[name="maxHops"]').fill("8");
  await form.locator('[name="minAmount"]').fill("2000");
  await form.locator('[name="leaveOutCompromised"]').check();
  await form.locator("button", { hasText: "Find ports" }).click();
  // Every member of a bubble that any of its members compromises is left out.
  const gates = new Set(listBubbles(game.u).filter((b) => b.compromised).map((b) => b.gate));
  const compromised = (s) => game.u.bubble.has(s) && gates.has(game.u.bubble.get(s).gate) && game.u.bubble.get(s).gate !== s;
  const expected = equipmentBuyersFromTerra((port) => port.amount[2] >= 2000 && !compromised(port.sector))
    .filter(([, hops]) => hops <= 8);
  const all = equipmentBuyersFromTerra();
  assert.ok(expected.length > 0 && expected.length < all.length);
  const unreached = game.u.ports.filter((port) => ((port.buying >> 2) & 1) === 1).length - all.length;
  assert.equal(await page.locator("#ports-count").textContent(), `${expected.length} ports found (at most 8 hops away, amount at least 2000, `
    + `none in compromised bubbles); the filters left out ${all.length - expected.length} more`
    + (unreached > 0 ? `; no known course reaches ${unreached} more` : ""));
  assert.match(await page.locator("#status").textContent(), new RegExp(`^${expected.length} ports that buy equipment found from 1 \\(filtered\\); `));
  assert.deepEqual(await listedPorts(page), expected.slice(0, 25));

  const hops = form.locator('[name="maxHops"]');
  await hops.fill("8 9");
  await hops.press("Enter");
  assert.equal(await hops.getAttribute("aria-invalid"), "true");
  assert.equal(await page.locator(`#${await hops.getAttribute("aria-describedby")}`).textContent(), 'one number, please: "8 9" holds 2 numbers');
  assert.match(await page.locator("#ports-count").textContent(), new RegExp(`^${expected.length} ports found`), "the search did not run");
  await page.close();
  assert.deepEqual(errors, []);
});

test("the bubble list keeps its header in view, marks and shows the bubble drawn, and filters", async () => {
  const bubbles = listBubbles(game.u);
  assert.ok(bubbles.length > 1000);
  const chosen = bubbles[1000].gate;
  const page = await open(`#bubble=${chosen}`);
  const list = page.locator("#bubble-result .list");
  const row = page.locator('#bubble-list tbody tr[aria-current="true"]');
  assert.deepEqual(await row.evaluateAll((trs) => trs.map((tr) => [tr.dataset.gate, tr.dataset.sector])), [[String(chosen), String(chosen)]]);
  // The chosen row is in sight, under the header; the header stays at the
  // top of the list however far it scrolls.
  const box = await list.boundingBox();
  const header = page.locator("#bubble-list thead th").first();
  const head = await header.boundingBox();
  const at = await row.boundingBox();
  assert.ok(at.y >= head.y + head.height - 1 && at.y + at.height <= box.y + box.height + 1, "the chosen row is in sight");
  for (const top of [5000, 20000]) {
    await list.evaluate((e, t) => { e.scrollTop = t; }, top);
    assert.ok(Math.abs((await header.boundingBox()).y - box.y) <= 1, `the header is in view at ${top}`);
  }

  const filter = page.locator("#bubble-filter");
  await filter.locator('[name="minSize"]').fill("3");
  await filter.locator('[name="minDepth"]').fill("2");
  await filter.locator('[name="minDepth"]').press("Enter");
  const kept = bubbles.filter((b) => b.size >= 3 && b.depth >= 2).map((b) => String(b.gate));
  assert.ok(kept.length > 10 && kept.length < bubbles.length);
  assert.equal(await page.locator("#bubble-count").textContent(), `${kept.length} of ${bubbles.length} bubbles`);
  // Rows are built as the list is scrolled near them: scrolled down to its
  // end, a frame at a time, it holds every bubble kept, in order.
  const gates = await list.evaluate(async (box) => {
    for (let frame = 0; frame < 100 && box.scrollTop + box.clientHeight < box.scrollHeight - 1; frame++) {
      box.scrollTop += box.clientHeight;
      await new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
    }
    return [...box.querySelectorAll("tbody tr")].map((tr) => tr.dataset.gate);
  });
  assert.deepEqual(gates, kept);

  // A sector that is no gate: the list says so, and where it lies.
  const isGate = new Set(bubbles.map((b) => b.gate));
  const [member, record] = [...game.u.bubble].find(([s, r]) => r.gate !== 0 && r.gate !== s && !isGate.has(s));
  await filter.locator('[name="minSize"]').fill("");
  await filter.locator('[name="minDepth"]').fill("");
  await filter.locator('[name="gate"]').fill(String(member));
  await filter.locator('[name="gate"]').press("Enter");
  assert.equal(await page.locator("#bubble-count").textContent(), `no bubble has gate ${member} (${member} lies in the bubble behind ${record.gate})`);
  await page.close();
  assert.deepEqual(errors, []);
});
