// The course view: the fewest hops from one sector to another, drawn as a line
// of sectors and listed with the ports and notes along it.

import { el, setField, fieldValue, counted, markField, readForm } from "./dom.js";
import { showDetails, notInUniverse, specialNames, sectorLink } from "./details.js";
import { drawNothing, drawPicture } from "./drawing.js";
import { inUniverse, portOf } from "./universe.js";
import { plotCourse, formatCourse } from "./course.js";
import { warpsAmong } from "./neighbourhood.js";
import { layoutCourse } from "./layout.js";
import { formatAddress } from "./address.js";
import { readSector, readAvoidList } from "./fields.js";

// The sectors of a course, one a row: the hop, the sector, its port and what
// the player noted there.
function alongTheCourse(atlas, course) {
  const { u } = atlas;
  const rows = course.map((s, i) => {
    const port = portOf(u, s);
    const names = specialNames(atlas, s);
    const note = u.notes.get(s) || "";
    const marks = [...names, u.fig[s] ? "fig" : "", names.includes(note) ? "" : note].filter(Boolean).join("; ");
    return el("tr", { "data-sector": s }, el("td", {}, String(i)), el("td", {}, sectorLink(s)), el("td", {}, port ? port.letters : ""),
      el("td", { class: "marks" }, marks));
  });
  return el("div", { class: "scroll" }, el("table", { id: "course-table" },
    el("thead", {}, el("tr", {}, el("th", {}, "hop"), el("th", {}, "sector"), el("th", {}, "port"), el("th", { class: "text" }, "marks"))),
    el("tbody", {}, ...rows)));
}

export const courseView = {
  tab: "course",

  show(atlas, { from, to, avoid }) {
    const { u } = atlas;
    setField("course-form", "from", from);
    setField("course-form", "to", to);
    setField("course-form", "avoid", avoid.join(", "));
    const result = document.getElementById("course-result");
    const started = performance.now();
    const course = plotCourse(u, from, to, avoid);
    result.dataset.searchMs = (performance.now() - started).toFixed(2);
    const back = el("a", { id: "return-course", href: formatAddress({ view: "course", from: to, to: from, avoid }) }, "return course");
    showDetails(atlas, to);
    if (!course) {
      const why = !inUniverse(u, from) ? notInUniverse(atlas, from)
        : !inUniverse(u, to) ? notInUniverse(atlas, to) : `no known route from ${from} to ${to}`;
      result.replaceChildren(el("p", { id: "course-text", class: "problem" }, why), el("p", {}, back));
      drawNothing(atlas, why);
      return;
    }
    const hops = course.length - 1;
    result.replaceChildren(
      el("p", { id: "course-text", class: "course-text" }, formatCourse(course)),
      el("p", { id: "course-hops" }, counted(hops, "hop")),
      avoid.length > 0 ? el("p", { class: "quiet" }, `avoiding ${avoid.join(", ")}`) : "",
      el("p", {}, back),
      alongTheCourse(atlas, course));
    const nodes = course.map((s, i) => ({ sector: s, ring: i }));
    const { positions } = layoutCourse(course);
    drawPicture(atlas, nodes, warpsAmong(u, new Set(course)), positions, { centre: to, course });
    atlas.status(`the course from ${from} to ${to}: ${counted(hops, "hop")}`);
  },

  focus(view) {
    return view.to;
  },

  // Puts sector s at one end of the course ("from" or "to") and plots the
  // course when the other end is given; otherwise the other end's field takes
  // the focus with a hint, and the course of other ends is gone from view.
  plotWithEnd(atlas, end, s) {
    const other = end === "from" ? "to" : "from";
    setField("course-form", end, s);
    const given = readSector(fieldValue("course-form", other), atlas.u.n);
    if (!given.problem && given.value !== s) {
      document.getElementById("course-form").requestSubmit();
      return;
    }
    const hint = end === "from" ? `the course from ${s}: type the sector to go to, then plot the course`
      : `the course to ${s}: type the sector to start from, then plot the course`;
    document.getElementById("course-result").replaceChildren(el("p", { id: "course-hint", class: "hint" }, hint));
    const input = document.getElementById("course-form").elements[other];
    markField(input, null);
    input.setAttribute("aria-describedby", "course-hint");
    input.focus();
  },

  wire(atlas) {
    document.getElementById("course-form").addEventListener("submit", (event) => {
      event.preventDefault();
      const n = atlas.u.n;
      const read = readForm("course-form", {
        from: (text) => readSector(text, n),
        to: (text) => readSector(text, n),
        avoid: (text, { from, to }) => readAvoidList(text, n, from, to),
      });
      if (read) atlas.go({ view: "course", from: read.from, to: read.to, avoid: read.avoid });
    });
  },
};
