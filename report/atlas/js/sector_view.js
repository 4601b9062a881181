// The sector view: a sector and its neighbourhood on rings by hop count.

import { setField, counted, readForm } from "./dom.js";
import { showDetails, notInUniverse } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { neighbourhood } from "./neighbourhood.js";
import { readSector, readWhole } from "./fields.js";
import { DEFAULT_HOPS, MAX_HOPS } from "./address.js";

export const sectorView = {
  tab: "sector",

  show(atlas, { sector, hops }) {
    const { u } = atlas;
    setField("sector-form", "sector", sector);
    setField("sector-form", "hops", hops);
    showDetails(atlas, sector);
    if (!inUniverse(u, sector)) {
      drawNothing(atlas, notInUniverse(atlas, sector));
      return;
    }
    const hood = neighbourhood(u, sector, hops);
    drawRings(atlas, hood, sector, `sector ${sector} and the ${counted(hood.total - 1, "sector")} within ${counted(hops, "hop")}`);
  },

  focus(view) {
    return view.sector;
  },

  wire(atlas) {
    const form = document.getElementById("sector-form");
    form.addEventListener("submit", (event) => {
      event.preventDefault();
      const read = readForm("sector-form", {
        sector: (text) => readSector(text, atlas.u.n),
        hops: (text) => readWhole(text, 1, MAX_HOPS, DEFAULT_HOPS),
      });
      if (read) atlas.go({ view: "sector", sector: read.sector, hops: read.hops });
    });
    // A new hop count redraws at once.
    form.elements.hops.addEventListener("change", () => form.requestSubmit());
  },
};
