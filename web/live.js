// Keeps the output box in step with the input box line by line. A line break starts
// a word and no pair of letters spans one, so each line converts on its own and the
// output has the input's lines in the same order: an edit converts only the lines it
// touched and replaces just those lines of the output.

// Lines of changed text converted in one go; a larger change is converted in pieces
// of about this size between which the page handles its events.
export const kPiece = 256 * 1024;

// The lines that differ between before and after: where they start (the same place
// in both) and where they end in each. Null when the texts are the same.
export function changedLines(before, after) {
  const shorter = Math.min(before.length, after.length);
  let start = 0;
  while (start < shorter && before.charCodeAt(start) === after.charCodeAt(start)) ++start;
  if (start === before.length && start === after.length) return null;
  let tail = 0;
  while (tail < shorter - start
         && before.charCodeAt(before.length - 1 - tail) === after.charCodeAt(after.length - 1 - tail)) {
    ++tail;
  }
  const lineEnd = (text, from) => {
    const at = text.indexOf('\n', from);
    return at < 0 ? text.length : at;
  };
  return {
    start: start === 0 ? 0 : before.lastIndexOf('\n', start - 1) + 1,
    beforeEnd: lineEnd(before, before.length - tail),
    afterEnd: lineEnd(after, after.length - tail),
  };
}

// Lets the page handle its events. Timers would do, but a hidden page's timers are
// slowed down to one a second.
function yieldToPage() {
  if (globalThis.scheduler?.yield) return globalThis.scheduler.yield();
  return new Promise((resume) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => resume();
    channel.port2.postMessage(null);
  });
}

function newlines(text, from, to) {
  let count = 0;
  for (let at = text.indexOf('\n', from); at >= 0 && at < to; at = text.indexOf('\n', at + 1)) ++count;
  return count;
}

// Where line `line` (from 0) starts in text.
function lineStart(text, line) {
  let at = 0;
  for (let k = 0; k < line; ++k) at = text.indexOf('\n', at) + 1;
  return at;
}

// Where the text ends that is followed by its last `lines` line breaks.
function endBefore(text, lines) {
  let at = text.length;
  for (let k = 0; k < lines; ++k) at = text.lastIndexOf('\n', at - 1);
  return at;
}

// Converts with convert(text, textStart) into the output element, given the input
// element's text; textStart tells whether the lines converted open the text. `shown`
// is the input text the output shows; null until the first update.
export class LiveConverter {
  constructor(convert, output, onBusy = () => {}) {
    this.convert = convert;
    this.output = output;
    this.onBusy = onBusy;
    this.shown = null;
    this.shownOutput = '';
    this.job = 0;
  }

  get outputLength() {
    return this.shownOutput.length;
  }

  // The output box no longer shows a conversion (the user edited it): the next
  // update converts everything.
  forget() {
    this.shown = null;
    ++this.job;
    this.onBusy(false);
  }

  // Brings the output in line with `text`; resolves once it shows it, or at once
  // when a later update took over.
  async update(text) {
    const job = ++this.job;
    const whole = this.shown === null;
    const region = whole ? { start: 0, beforeEnd: 0, afterEnd: text.length }
      : changedLines(this.shown, text);
    if (!region) return;
    const converted = await this.convertRegion(text, region.start, region.afterEnd, job);
    if (converted === null || job !== this.job) return;
    if (whole) {
      this.output.value = converted;
      this.shownOutput = converted;
    } else {
      const was = this.shownOutput;
      const start = lineStart(was, newlines(this.shown, 0, region.start));
      const end = endBefore(was, newlines(this.shown, region.beforeEnd, this.shown.length));
      this.output.setRangeText(converted, start, end, 'preserve');
      this.shownOutput = was.slice(0, start) + converted + was.slice(end);
    }
    this.shown = text;
  }

  // The conversion of text[from, to), in pieces of whole lines when it is long;
  // null when another update started meanwhile.
  async convertRegion(text, from, to, job) {
    if (to - from <= kPiece) return this.convert(text.slice(from, to), from === 0);
    this.onBusy(true);
    const parts = [];
    for (let at = from; at < to;) {
      let end = text.indexOf('\n', Math.min(at + kPiece, to));
      end = end < 0 || end >= to ? to : end + 1;
      parts.push(this.convert(text.slice(at, end), at === 0));
      at = end;
      await yieldToPage();
      if (job !== this.job) return null;
    }
    this.onBusy(false);
    return parts.join('');
  }
}
