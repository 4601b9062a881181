// The page's modules share one script once embedded (their imports dropped,
// "export " removed), so two top-level names alike would stop the page, and a
// module imported but not embedded would leave a name undefined.

import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";

const read = (name) => readFileSync(new URL(name, import.meta.url), "utf8");

test("the embedded modules declare each top-level name once and embed all they import", () => {
  const modules = [...read("../page.html").matchAll(/\/\*@module js\/([^*]+)\*\//g)].map((m) => m[1]);
  const declared = new Map();
  for (const name of modules) {
    const text = read(name);
    for (const [, what] of text.matchAll(/^(?:export )?(?:async )?(?:function\*?|const|let|var|class) +([A-Za-z_$][\w$]*)/gm)) {
      assert.ok(!declared.has(what), `${what} is declared in ${declared.get(what)} and in ${name}`);
      declared.set(what, name);
    }
    for (const [, from] of text.matchAll(/^import .* from "\.\/([^"]+)";$/gm)) {
      assert.ok(modules.includes(from), `${name} imports ${from}, which page.html does not embed`);
    }
  }
});
