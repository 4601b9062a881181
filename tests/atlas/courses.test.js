// The page's courses against the hop counts the run computes, on generated
// games of every kind: from a special sector to any sector, and from any
// sector to a special sector, the course takes as many hops as the run's
// tables say (a table holds no count above 254: beyond that it says no route).
// One exception: a sector whose list is full (255 entries) cannot record a
// warp in, so the run's count towards a special sector does not know that
// warp, and the course, which flies it from the sector that lists it, can be
// shorter.

import { test } from "node:test";
import assert from "node:assert/strict";
import { plotCourse, sweepFrom } from "../../atlas/js/course.js";
import { warpsOf } from "../../atlas/js/universe.js";
import { generatedAtlas, readAtlas, scratch } from "./games.js";

// The course's hop count as a table would hold it.
function asTable(course) {
  return course === null || course.length - 1 > 254 ? 255 : course.length - 1;
}

const GAMES = [
  { profile: "realistic", sectors: 3000, seed: 3, step: 7 },
  { profile: "hostile", sectors: 300, seed: 7, step: 1 },
  { profile: "chain", sectors: 600, seed: 5, step: 3 },
  { profile: "star", sectors: 1500, seed: 3, step: 5 },
  { profile: "wide", sectors: 1000, seed: 2, step: 5 },
];

for (const game of GAMES) {
  test(`courses take the run's hop counts: ${game.profile} ${game.sectors}`, () => {
    const { dir, remove } = scratch();
    try {
      const u = readAtlas(generatedAtlas(dir, game));
      let fullList = false;
      for (let s = 1; s <= u.n; s++) fullList ||= u.warpStart[s + 1] - u.warpStart[s] === 255;
      let compared = 0;
      for (let k = 1; k < u.specials.length; k++) {
        const special = u.specials[k];
        if (special === 0) continue;
        const { hops } = sweepFrom(u, special);
        for (let s = 1; s <= u.n; s++) {
          const expected = u.hopsFrom[k][s];
          assert.equal(hops[s] < 0 || hops[s] > 254 ? 255 : hops[s], expected, `from ${special} to ${s}`);
        }
        for (let s = 1; s <= u.n; s += game.step) {
          const course = plotCourse(u, s, special);
          if (fullList) assert.ok(asTable(course) <= u.hopsTo[k][s], `from ${s} to ${special}`);
          else assert.equal(asTable(course), u.hopsTo[k][s], `from ${s} to ${special}`);
          for (let i = 1; course && i < course.length; i++) {
            const flown = warpsOf(u, course[i - 1]).some(({ target, kind }) => target === course[i] && kind <= 1);
            assert.ok(flown, `${course[i - 1]} > ${course[i]} is no known way out`);
          }
          compared++;
        }
      }
      assert.ok(compared > 100, `only ${compared} courses compared`);
    } finally {
      remove();
    }
  });
}
