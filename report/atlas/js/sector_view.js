// The sector view: a sector and its neighbourhood on rings by hop count.

import { setField, fieldValue, counted } from "./dom.js";
import { showDetails, notInUniverse } from "./details.js";
import { drawNothing, drawRings } from "./drawing.js";
import { inUniverse } from "./universe.js";
import { neighbourhood } from "./neighbourhood.js";
import { sectorList } from "./address.js";

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
    document.getElementById("sector-form").addEventListener("submit", (event) => {
      event.preventDefault();
      const sector = sectorList(fieldValue("sector-form", "sector"))[0];
      if (sector) atlas.go({ view: "sector", sector, hops: Number(fieldValue("sector-form", "hops")) });
    });
  },
};
