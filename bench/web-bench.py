"""The web edition's figures in headless Chromium, each beside its floor from the same
run: a keystroke with live conversion against the same keystroke in a bare textarea,
a pasted megabyte against setting its result into a bare textarea, and the first load
against a bare page from the same server. Timed inside the page, so that no round
trip to the driver counts.
    /usr/bin/python3 bench/web-bench.py SITE"""

import pathlib
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "web"))
from browser import Browser, Server  # noqa: E402

ROUNDS = 21

root = pathlib.Path(tempfile.mkdtemp(prefix="vesnor-webbench-"))
shutil.copytree(sys.argv[1], root, dirs_exist_ok=True)
(root / "bare.html").write_text('<!doctype html><meta charset="utf-8"><title>bare</title>'
                                '<textarea id="bare"></textarea>')
server = Server(str(root))


def text(size, line_length):
    """Everyday words, in lines of about line_length characters."""
    words = ["Barev", "Dzez", "vonc", "es", "shnorhakalutyun", "Yerevan", "tsaghik", "yev"]
    lines, line, total, k = [], "", 0, 0
    while total + len(line) < size:
        line += words[k % len(words)] + " "
        k += 1
        if len(line) >= line_length:
            lines.append(line.rstrip())
            total += len(lines[-1]) + 1
            line = ""
    return "\n".join(lines + [line]) if lines else line


# A letter typed at the end of the focused box, as the browser's editing types it:
# the time until the box has it laid out, and until the output shows it. `replace`
# instead replaces the box's text as a script does, which lays the whole box out.
KEYSTROKES = """
const [boxId, typed, rounds, replace, done] = arguments;
const box = document.getElementById(boxId);
const shown = document.getElementById(boxId === 'bare' ? 'bare' : 'Text2');
box.value = typed;
box.dispatchEvent(new Event('input'));
do await pause(20); while (shown.getAttribute('aria-busy') === 'true');
box.focus();
const typing = [];
const showing = [];
for (let k = 0; k < rounds; ++k) {
  box.setSelectionRange(box.value.length, box.value.length);
  await pause(400);
  const before = shown.value.length;
  const start = performance.now();
  if (replace) box.setRangeText('a', box.value.length, box.value.length, 'end');
  else document.execCommand('insertText', false, 'a');
  void box.scrollHeight;
  typing.push(performance.now() - start);
  showing.push(await laidOut(shown, () => shown.value.length !== before, start));
}
done([typing, showing]);
"""

PASTE = """
const [typed, rounds, done] = arguments;
const box = document.getElementById('Text1');
const output = document.getElementById('Text2');
const settled = async () => {
  do await pause(0); while (output.getAttribute('aria-busy') === 'true');
};
box.value = typed;
box.dispatchEvent(new Event('input'));
await settled();
const result = output.value;
const times = [];
for (let k = 0; k < rounds; ++k) {
  box.value = '';
  box.dispatchEvent(new Event('input'));
  await settled();
  await pause(20);
  const start = performance.now();
  box.value = typed;
  box.dispatchEvent(new Event('input'));
  times.push(await laidOut(output, () => output.value.length === result.length, start));
}
done([times, result]);
"""

BARE_SET = """
const [result, rounds, done] = arguments;
const box = document.getElementById('bare');
const times = [];
for (let k = 0; k < rounds; ++k) {
  box.value = '';
  void box.scrollHeight;
  await new Promise((resume) => setTimeout(resume, 20));
  const start = performance.now();
  box.value = result;
  void box.scrollHeight;
  times.push(performance.now() - start);
}
done(times);
"""


# What the page scripts share: a pause, and the time from `start` until `element`
# is ready and laid out.
HELPERS = """
const pause = (ms) => new Promise((resume) => setTimeout(resume, ms));
const laidOut = async (element, ready, start) => {
  while (!ready()) await pause(0);
  void element.scrollHeight;
  return performance.now() - start;
};
"""


def run(page, script, *args):
    return page.driver.execute_async_script(
        "(async () => {" + HELPERS + script + "})(...arguments)", *args)


rows = []
app, bare = Browser(), Browser()
app.open(server.origin + "/")
bare.open(server.origin + "/bare.html")
for name, size, line_length, goal in (("a 100 KB text", 100_000, 100_000, "<= 16 ms"),
                                      ("a 1 MB text of 10,000 lines", 1_000_000, 100, "<= 50 ms")):
    content = text(size, line_length)
    typing, showing = run(app, KEYSTROKES, "Text1", content, ROUNDS, False)
    bare_typing, _ = run(bare, KEYSTROKES, "bare", content, ROUNDS, False)
    bare_replacing, _ = run(bare, KEYSTROKES, "bare", content, ROUNDS, True)
    typed, shown = statistics.median(typing), statistics.median(showing)
    floor_typed, floor_replaced = statistics.median(bare_typing), statistics.median(bare_replacing)
    rows.append((f"{name}: the key in the input box", typed, floor_typed, "as the floor"))
    rows.append((f"{name}: the output updated", shown, floor_typed + floor_replaced,
                 f"{goal} (floor: a key + replacing a box's text)"))

pasted, result = run(app, PASTE, text(1_000_000, 100), 11)
pasted = statistics.median(pasted)
floor = statistics.median(run(bare, BARE_SET, result, 11))
rows.append(("1 MB pasted, converted and shown", pasted, floor,
             f"<= 1.5x floor ({pasted / floor:.2f}x)"))
app.close()
bare.close()

loads, bare_loads = [], []
for _ in range(ROUNDS):
    page = Browser()
    page.open(server.origin + "/")
    loads.append(page.run("return performance.getEntriesByName('vesnor-ready')[0].startTime"))
    page.close()
    page = Browser()
    page.open(server.origin + "/bare.html")
    bare_loads.append(page.run(
        "return performance.getEntriesByType('navigation')[0].loadEventEnd"))
    page.close()
rows.append(("first load to a working box", statistics.median(loads),
             statistics.median(bare_loads), "<= 300 ms"))
server.stop()
shutil.rmtree(root, ignore_errors=True)

print(f"The web page in headless Chromium, medians ({ROUNDS} rounds; pastes 11)")
print(f"{'measure':52} {'page ms':>9} {'floor ms':>9}   goal")
for what, value, floor, goal in rows:
    print(f"{what:52} {value:9.2f} {floor:9.2f}   {goal}")
