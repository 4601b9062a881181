// A table of results as every list of the page shows them: `page` rows at a
// time, ending in a button "more (N of M shown)" while rows remain, so that no
// list is cut without saying so; columns that sort have a button in their
// header, which says the order with aria-sort.

import { el, slashBreaks } from "./dom.js";

// `columns`: [{ key, label, title?, sorts?, text? }] (text: a column of
// words, aligned left; a label may break after a "/" where its header
// wraps); `items`: the rows' data, in
// order; `makeRow(item)`: its <tr>; `sort`: { column, descending } of the
// order shown; `onSort(column)`: called when a sorting header is pressed;
// `className`: the table's class.
export function resultTable({ id, className = "", columns, items, page, makeRow, sort = null, onSort = null }) {
  const head = el("tr", {}, ...columns.map(({ key, label, title, sorts, text }) => {
    const th = el("th", { scope: "col" });
    if (text) th.className = "text";
    if (title) th.title = title;
    if (!sorts || !onSort) {
      th.append(...slashBreaks(label));
      return th;
    }
    if (sort && sort.column === key) th.setAttribute("aria-sort", sort.descending ? "descending" : "ascending");
    const button = el("button", { type: "button", class: "sort", "data-sort": key }, ...slashBreaks(label));
    button.addEventListener("click", () => onSort(key));
    th.append(button);
    return th;
  }));
  const body = el("tbody");
  const box = el("div", { class: "list" }, el("table", { id, class: className }, el("thead", {}, head), body));
  const more = el("button", { type: "button", class: "more" });
  const showMore = () => {
    const start = body.rows.length;
    body.append(...items.slice(start, start + page).map(makeRow));
    if (body.rows.length < items.length) more.textContent = `more (${body.rows.length} of ${items.length} shown)`;
    else more.remove();
  };
  more.addEventListener("click", () => {
    const first = body.rows.length;
    showMore();
    // The keyboard goes on with the first row just listed.
    const next = body.rows[first]?.querySelector("a, button");
    if (next) next.focus();
  });
  showMore();
  return el("div", {}, box, body.rows.length < items.length ? more : "");
}
