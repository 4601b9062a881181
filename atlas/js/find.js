// Find: what the player types in the find box. A plain number names a sector;
// any other text is looked for in the notes and the logs.

// The double quotes a text may begin with to be looked for as text (as a
// keyboard types them, plain or curly), and the quote each closes with. An
// apostrophe is no quote: a note may begin with one.
const QUOTES = { '"': '"', "\u201c": "\u201d", "\u201d": "\u201d", "\u201e": "\u201c" };
const ASK_TEXT = /^find\s+text\s+/i;

// What `text` asks for: { sector } for a plain number (digits only, blanks
// around it allowed; the caller checks that the sector is in the universe),
// { text } for anything else (trimmed; empty when nothing but blanks was
// typed). A text that begins with a quote, or with "find text ", is looked
// for as text whatever it holds ("300 or find text 300): the quote, and one
// closing it at the end, are no part of it.
export function parseFind(text) {
  const typed = String(text).trim();
  if (ASK_TEXT.test(`${typed} `)) return { text: `${typed} `.replace(ASK_TEXT, "").trim() };
  const close = QUOTES[typed[0]];
  if (close !== undefined) {
    const inner = typed.slice(1);
    return { text: (inner.length > 0 && inner.endsWith(close) ? inner.slice(0, -1) : inner).trim() };
  }
  return /^[0-9]+$/.test(typed) ? { sector: Number(typed) } : { text: typed };
}

// A text as the find box shows it, so that finding again looks for the same
// text: quoted where it would otherwise be read as a sector or begins with
// what parseFind takes away.
export function findBoxText(text) {
  const plain = parseFind(text);
  return plain.text === text ? text : `"${text}"`;
}

// The notes and logs that contain `text`, letter case ignored, as the page
// shows them (each byte already its Windows-1252 character): { sector, source
// ("note" or "log"), text (the whole note or log), at (where the match begins),
// length (its length) }, in sector order, a sector's note before its log; the
// first match in each text. Nothing for an empty text.
export function findText(u, text) {
  const wanted = String(text).toLowerCase();
  const found = [];
  if (wanted === "") return found;
  for (const [source, texts] of [["note", u.notes], ["log", u.logs]]) {
    for (const [sector, whole] of texts) {
      // Lower case keeps the length of every Windows-1252 character, so a
      // place in the lowered text is the same place in the text shown.
      const at = whole.toLowerCase().indexOf(wanted);
      if (at >= 0) found.push({ sector, source, text: whole, at, length: wanted.length });
    }
  }
  return found.sort((a, b) => a.sector - b.sector || (a.source === "note" ? 0 : 1) - (b.source === "note" ? 0 : 1));
}

// The texts found, each with the hops to its sector from `hops` (a sweep's
// hop counts, -1 where no known course leads), nearest first; those no course
// reaches last; equally near ones in the order found.
export function nearestFirst(found, hops) {
  const far = (f) => (f.hops < 0 ? Infinity : f.hops);
  return found.map((f) => ({ ...f, hops: hops[f.sector] })).sort((a, b) => far(a) - far(b));
}
