// The game's history as the page carries it (a run with /history+): the
// recorded runs with their times, and each port's last observations; what a
// port's amounts say of it: how fast it refills, and which ports someone has
// been trading (stock that fell between their last two observations).
//
// The data come from a file anyone can edit: what does not fit is left out.

// The characters of the observations' numbers, each standing for its place.
const CODE_DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const CODE_VALUE = new Map([...CODE_DIGITS].map((c, i) => [c, i]));

const MS_A_DAY = 86400000;
const MAX_AMOUNT = 65535;

// The numbers of one port's string: five bits a character, lowest first, 32
// added to a character another follows. A character outside the set ends the
// numbers read.
function codedNumbers(text) {
  const values = [];
  let value = 0;
  let shift = 0;
  for (const c of text) {
    const digit = CODE_VALUE.get(c);
    if (digit === undefined || shift > 30) break;
    value += (digit & 31) * 2 ** shift;
    shift += 5;
    if (digit < 32) {
      values.push(value);
      value = 0;
      shift = 0;
    }
  }
  return values;
}

// 0, 1, 2, 3 ... as 0, -1, 1, -2 ...
function unzigzag(value) {
  return value % 2 === 0 ? value / 2 : -(value + 1) / 2;
}

// A run's local time "YYYY-MM-DD HH:MM:SS" in milliseconds, counted as if it
// were UTC: only the time between two runs is asked of it. NaN when it is
// not such a time.
export function runTime(at) {
  const m = /^(\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)$/.exec(at);
  return m ? Date.UTC(+m[1], +m[2] - 1, +m[3], +m[4], +m[5], +m[6]) : NaN;
}

function count(value) {
  return Number.isInteger(value) && value >= 0 ? value : 0;
}

// The "history" member of the data block (see atlas/atlas.h), or null when the
// page carries none: { runs: [{ at, time, known, ports }], observed: Map
// sector -> [{ run, amount: [ore, org, equ] }] in run order }, run being an
// index into runs.
export function decodeHistory(data, n) {
  if (!data || typeof data !== "object" || !Array.isArray(data.at)) return null;
  const known = Array.isArray(data.known) ? data.known : [];
  const ports = Array.isArray(data.ports) ? data.ports : [];
  const runs = data.at.map((at, i) => {
    const text = typeof at === "string" ? at : "";
    return { at: text, time: runTime(text), known: count(known[i]), ports: count(ports[i]) };
  });
  const observed = new Map();
  const list = Array.isArray(data.observed) ? data.observed : [];
  for (let i = 0; i + 2 <= list.length; i += 2) {
    const s = list[i];
    if (!Number.isInteger(s) || s < 1 || s > n || observed.has(s) || typeof list[i + 1] !== "string") continue;
    // Per observation: ore's change times 2, plus 1 when runs were skipped,
    // then the runs skipped less one; org's change; equ's.
    const values = codedNumbers(list[i + 1]);
    const seen = [];
    let run = -1;
    const amount = [0, 0, 0];
    for (let k = 0; k < values.length;) {
      const skipped = values[k] % 2 === 1;
      const ore = unzigzag(Math.floor(values[k++] / 2));
      run += 1 + (skipped ? 1 + (values[k++] ?? Infinity) : 0);
      if (k + 2 > values.length) break;
      amount[0] += ore;
      amount[1] += unzigzag(values[k++]);
      amount[2] += unzigzag(values[k++]);
      // A number out of place ends the port's list.
      if (run >= runs.length || amount.some((a) => a < 0 || a > MAX_AMOUNT)) break;
      seen.push({ run, amount: amount.slice() });
    }
    if (seen.length > 0) observed.set(s, seen);
  }
  return { runs, observed };
}

// How fast a port refills, by product: [{ product, perDay }] for each product
// (0 ore, 1 org, 2 equ) whose amount rose between two consecutive
// observations, from the latest such rise: the rise divided by the days
// between the two runs, rounded. A product whose latest rise came between
// runs less than a minute apart (or of times unknown) has none: so short a
// time says nothing of a day.
export function refillRates(history, seen) {
  const rates = [];
  for (let p = 0; p < 3; p++) {
    for (let i = seen.length - 1; i >= 1; i--) {
      const rise = seen[i].amount[p] - seen[i - 1].amount[p];
      if (rise <= 0) continue;
      const ms = history.runs[seen[i].run].time - history.runs[seen[i - 1].run].time;
      if (ms >= 60000) rates.push({ product: p, perDay: Math.round(rise / (ms / MS_A_DAY)) });
      break;
    }
  }
  return rates;
}

// The ports with a product whose amount fell between their last two
// observations: [{ sector, fall, falls: [ore, org, equ] }], fall the units
// summed over the products that fell; the largest fall first, then by sector.
export function busyPorts(history) {
  const busy = [];
  for (const [sector, seen] of history.observed) {
    if (seen.length < 2) continue;
    const [before, last] = [seen[seen.length - 2].amount, seen[seen.length - 1].amount];
    const falls = before.map((a, p) => Math.max(a - last[p], 0));
    const fall = falls[0] + falls[1] + falls[2];
    if (fall > 0) busy.push({ sector, fall, falls });
  }
  return busy.sort((x, y) => y.fall - x.fall || x.sector - y.sector);
}
