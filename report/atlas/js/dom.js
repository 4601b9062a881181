// Building the page's elements. Strings become text nodes, never markup, so
// whatever a note holds stays text.

const SVG_NS = "http://www.w3.org/2000/svg";

// An HTML element: attributes from `attrs`, children appended, strings as text.
export function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, value);
  for (const child of children) node.append(child);
  return node;
}

// An SVG element, built the same way.
export function svg(tag, attrs = {}, ...children) {
  const node = document.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, String(value));
  for (const child of children) node.append(child);
  return node;
}

// "1 hop", "3 hops".
export function counted(count, one, many = `${one}s`) {
  return `${count} ${count === 1 ? one : many}`;
}

// Puts `value` into the field `name` of the form `formId`.
export function setField(formId, name, value) {
  document.getElementById(formId).elements[name].value = value;
}

export function fieldValue(formId, name) {
  return document.getElementById(formId).elements[name].value;
}
