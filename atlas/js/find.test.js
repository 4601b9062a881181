import { test } from "node:test";
import assert from "node:assert/strict";
import { findText, parseFind } from "./find.js";
import { makeUniverse } from "./test_universe.js";

test("a plain number names a sector, anything else is text", () => {
  assert.deepEqual(parseFind(" 042 "), { sector: 42 });
  assert.deepEqual(parseFind("4 2"), { text: "4 2" });
  assert.deepEqual(parseFind("+42"), { text: "+42" });
  assert.deepEqual(parseFind("  "), { text: "" });
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
});
