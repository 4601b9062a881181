// The bubbles the run found: pockets of sectors entered through one gate. The
// run gives each member its gate, its depth (the peeling pass that found it:
// 1 at the bottom of the bubble, more towards the gate) and its marks.

// Every bubble, by gate: { gate, depth, size, members, unexplored, compromised },
// in gate order. The depth of a bubble is the depth of its deepest-numbered
// member, the one next to the gate; it is unexplored (u) or compromised (c)
// when any member is.
export function listBubbles(u) {
  const byGate = new Map();
  for (const [s, record] of u.bubble) {
    if (record.gate === 0) continue;
    let bubble = byGate.get(record.gate);
    if (!bubble) {
      bubble = { gate: record.gate, depth: 0, size: 0, members: [], unexplored: false, compromised: false };
      byGate.set(record.gate, bubble);
    }
    if (s === record.gate) continue;
    bubble.members.push(s);
    bubble.size++;
    bubble.depth = Math.max(bubble.depth, record.depth);
    bubble.unexplored ||= record.explored === 0;
    bubble.compromised ||= record.compromised === 1;
  }
  const list = [...byGate.values()].filter((b) => b.size > 0);
  for (const b of list) b.members.sort((x, y) => x - y);
  return list.sort((a, b) => a.gate - b.gate);
}

// How many hops in from its gate each member of `bubble` (as listBubbles
// gives it) lies, over the two-way warps among the members: Map sector ->
// hops. The member next to the gate is 1 hop in; the deepest lies as many
// hops in as the bubble is deep.
export function hopsInFromGate(u, bubble) {
  const inside = new Set(bubble.members);
  const hops = new Map([[bubble.gate, 0]]);
  const queue = [bubble.gate];
  for (let head = 0; head < queue.length; head++) {
    const s = queue[head];
    for (let i = u.warpStart[s]; i < u.warpStart[s + 1]; i++) {
      const t = u.warpTarget[i];
      if (u.warpKind[i] !== 1 || !inside.has(t) || hops.has(t)) continue;
      hops.set(t, hops.get(s) + 1);
      queue.push(t);
    }
  }
  hops.delete(bubble.gate);
  return hops;
}

// The list sorted by one of its columns ("gate", "depth", "size",
// "unexplored", "compromised"), largest first when `descending`; ties in gate
// order.
export function sortBubbles(list, column, descending = false) {
  const sign = descending ? -1 : 1;
  return list.slice().sort((a, b) => sign * (Number(a[column]) - Number(b[column])) || a.gate - b.gate);
}

// Per sector 0..n: 1 when it lies in a bubble, 3 when that bubble is
// compromised (c): a bubble is compromised when any of its members is, and
// then all of its members are.
export function bubbleMarks(u) {
  const compromised = new Set();
  for (const [s, record] of u.bubble) if (record.gate !== 0 && s !== record.gate && record.compromised) compromised.add(record.gate);
  const marks = new Uint8Array(u.n + 1);
  for (const [s, record] of u.bubble) {
    if (s >= 1 && s <= u.n) marks[s] = compromised.has(record.gate) && s !== record.gate ? 3 : 1;
  }
  return marks;
}
