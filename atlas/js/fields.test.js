import { test } from "node:test";
import assert from "node:assert/strict";
import { readSector, readSectorList, readAvoidList, readWhole } from "./fields.js";

test("a sector field takes one sector of the universe or says what is wrong", () => {
  assert.deepEqual(readSector(" 1374 ", 20000), { value: 1374 });
  const problems = {
    "": "type a sector number",
    abc: '"abc" is not a number',
    0: "0 is no sector: sectors are 1 to 20000",
    70000: "70000 is beyond this universe (1 to 20000)",
    1.5: "1.5 is not a whole number",
    "-3": "-3 is no sector: sectors are 1 to 20000",
    "10 20": 'one sector, please: "10 20" holds 2 numbers',
  };
  for (const [typed, problem] of Object.entries(problems)) assert.deepEqual(readSector(typed, 20000), { problem }, typed);
});

test("an avoid list names a word that is no sector or an end of the course, and reads the rest once each", () => {
  assert.deepEqual(readSectorList("5, 6;7 5", 100), { value: [5, 6, 7] });
  assert.deepEqual(readSectorList("", 100), { value: [] });
  assert.deepEqual(readSectorList("5, x, 6", 100), { problem: '"x" is not a number' });
  assert.deepEqual(readSectorList("5 101", 100), { problem: "101 is beyond this universe (1 to 100)" });
  assert.deepEqual(readAvoidList("5 6", 100, 1, 7), { value: [5, 6] });
  assert.deepEqual(readAvoidList("5 7", 100, 1, 7), { problem: "7 is where the course ends: a course cannot avoid it" });
  assert.deepEqual(readAvoidList("3", 100, 3, 3), { problem: "3 is where the course starts and ends: a course cannot avoid it" });
});

test("a number field takes a whole number in its range, empty for no limit", () => {
  assert.deepEqual(readWhole("", 0, 100), { value: null });
  assert.deepEqual(readWhole("40", 0, 100), { value: 40 });
  assert.deepEqual(readWhole("140", 0, 100), { problem: "140 is out of range (0 to 100)" });
  assert.deepEqual(readWhole("4.5", 0, 100), { problem: "4.5 is not a whole number" });
});
