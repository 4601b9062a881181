// What the player types into the page's fields, read strictly: a field takes
// what it asks for or says what is wrong with it, and nothing typed is
// silently dropped or cut.
//
// Every reader returns { value } or { problem }, the problem a short sentence
// the page shows beside the field.

const WHOLE = /^[0-9]+$/;
const NUMBER = /^[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:e[+-]?[0-9]+)?$/i;

// One word as a sector of a universe of n sectors.
function sectorWord(word, n) {
  if (WHOLE.test(word)) {
    const s = Number(word);
    if (s === 0) return { problem: `0 is no sector: sectors are 1 to ${n}` };
    if (s > n) return { problem: `${word} is beyond this universe (1 to ${n})` };
    return { value: s };
  }
  if (NUMBER.test(word)) {
    return { problem: Number(word) < 0 ? `${word} is no sector: sectors are 1 to ${n}` : `${word} is not a whole number` };
  }
  return { problem: `"${word}" is not a number` };
}

function words(text) {
  return String(text).split(/[\s,;]+/).filter((w) => w !== "");
}

// A field that takes one sector.
export function readSector(text, n) {
  const list = words(text);
  if (list.length === 0) return { problem: "type a sector number" };
  if (list.length > 1) return { problem: `one sector, please: "${list.join(" ")}" holds ${list.length} numbers` };
  return sectorWord(list[0], n);
}

// A field that takes any number of sectors (an avoid list): empty is none.
export function readSectorList(text, n) {
  const value = [];
  for (const word of words(text)) {
    const one = sectorWord(word, n);
    if (one.problem) return { problem: one.problem };
    if (!value.includes(one.value)) value.push(one.value);
  }
  return { value };
}

// The avoid list of a course from `from` to `to` by `stops`: as
// readSectorList, and a course never avoids its own ends or stops, so a list
// that names one is refused.
export function readAvoidList(text, n, from, to, stops = []) {
  const list = readSectorList(text, n);
  if (list.problem) return list;
  const end = list.value.find((s) => s === from || s === to);
  if (end === undefined) {
    const stop = list.value.find((s) => stops.includes(s));
    return stop === undefined ? list : { problem: `${stop} is a stop of the course: a course cannot avoid it` };
  }
  const where = from === to ? "starts and ends" : end === from ? "starts" : "ends";
  return { problem: `${end} is where the course ${where}: a course cannot avoid it` };
}

// A field that takes a whole number from min to max; empty gives `empty`
// (null: no limit).
export function readWhole(text, min, max, empty = null) {
  const list = words(text);
  if (list.length === 0) return { value: empty };
  if (list.length > 1) return { problem: `one number, please: "${list.join(" ")}" holds ${list.length} numbers` };
  const [word] = list;
  if (!WHOLE.test(word)) {
    return { problem: NUMBER.test(word) ? `${word} is not a whole number` : `"${word}" is not a number` };
  }
  const v = Number(word);
  if (v < min || v > max) return { problem: `${word} is out of range (${min} to ${max})` };
  return { value: v };
}
