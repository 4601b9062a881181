import { test } from "node:test";
import assert from "node:assert/strict";
import { findText, parseFind, findBoxText, nearestFirst } from "./find.js";
import { makeUniverse } from "./test_universe.js";

test("a plain number names a sector, anything else is text, and a number asked for as text is text", () => {
  assert.deepEqual(parseFind(" 042 "), { sector: 42 });
  assert.deepEqual(parseFind("4 2"), { text: "4 2" });
  assert.deepEqual(parseFind("+42"), { text: "+42" });
  assert.deepEqual(parseFind("  "), { text: "" });
  assert.deepEqual(parseFind('"300'), { text: "300" });
  assert.deepEqual(parseFind('"300"'), { text: "300" });
  assert.deepEqual(parseFind("\u201c300\u201d"), { text: "300" }, "a phone's curly quotes");
  assert.deepEqual(parseFind("Find  Text 300 "), { text: "300" });
  assert.deepEqual(parseFind("find text"), { text: "" });
  assert.deepEqual(parseFind("find textile"), { text: "find textile" });
  assert.deepEqual(parseFind("'300"), { text: "'300" }, "an apostrophe is part of the text");
  assert.deepEqual(parseFind('""x""'), { text: '"x"' });
  // The box shows a text so that finding again finds the same.
  for (const text of ["300", "safe", '"x', "find text 3", 'x"']) assert.deepEqual(parseFind(findBoxText(text)), { text }, text);
  assert.equal(findBoxText("safe"), "safe");
  assert.equal(findBoxText("300"), '"300"');
});

test("notes and logs are searched with letter case ignored, in sector order, note before log", () => {
  const u = makeUniverse({
    n: 20,
    notes: { 12: "Café au lait", 3: "Safe spot", 1: "terra" },
    logs: { 3: "unSAFE? no", 7: "x" },
  });
  assert.deepEqual(findText(u, "safe"), [
    { sector: 3, source: "note", text: "Safe spot", at: 0, length: 4 },
    { sector: 3, source: "log", text: "unSAFE? no", at: 2, length: 4 },
  ]);
  assert.deepEqual(findText(u, "CAFÉ AU").map(({ sector, at }) => [sector, at]), [[12, 0]]);
  assert.deepEqual(findText(u, "au l").map(({ sector, at }) => [sector, at]), [[12, 5]]);
  assert.deepEqual(findText(u, ""), []);
  assert.deepEqual(findText(u, "cafe"), [], "an accent is a letter of its own");
  // Nearest first from where the player is, those no course reaches last.
  const hops = new Int32Array(21).fill(-1);
  Object.assign(hops, { 3: 2, 12: 1 });
  assert.deepEqual(nearestFirst(findText(u, "a"), hops).map(({ sector, source, hops: h }) => [sector, source, h]),
    [[12, "note", 1], [3, "note", 2], [3, "log", 2], [1, "note", -1]]);
});
