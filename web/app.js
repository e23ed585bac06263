// The composer page: the input box Text1, the output box Text2, the direction, and
// the commands, all worked by the engine (engine-client.js); live.js keeps Text2 in
// step while the user types. Nothing leaves the page: files are read and saved here.
import { ArmEng, EngArm, Kind, loadEngine } from './engine-client.js';
import { LiveConverter } from './live.js';

const $ = (id) => document.getElementById(id);
const Text1 = $('Text1');
const Text2 = $('Text2');
const engarm = $('engarm');
const armeng = $('armeng');
const live = $('live');
const message = $('message');

// The largest file Open takes, as the desktop composer.
const kLargestFile = 64 * 1024 * 1024;
// Save names at most this many characters it cannot hold, so the question stays short.
const kListed = 20;
const kLiveSetting = 'vesnor.live';
// Replacing text in a box of hundreds of kilobytes lays the whole box out again (a
// fifth of a second for a megabyte here), and the browser's own editing, which would
// not, cannot write into a box without taking the focus and Undo from the input box.
// So a large output follows once the typing pauses, and typing stays quick.
const kLargeOutput = 256 * 1024;
const kTypingPause = 150;

const say = (text) => { message.textContent = text; };

const engine = await loadEngine();
const direction = () => (engarm.checked ? EngArm : ArmEng);
const kBusy = 'Converting…';
const converter = new LiveConverter(
  (text, textStart) => engine.convert(direction(), text, textStart), Text2,
  (busy) => {
    Text2.setAttribute('aria-busy', String(busy));
    if (busy) say(kBusy);
    else if (message.textContent === kBusy) say('');
  });

// Live conversion the user chose, and whether an edit of Text2 has paused it.
let pausedByEdit = false;
// Storage can be refused (a private window, a page opened from a file): the switch
// then starts on and is not remembered.
const remembered = {
  get() { try { return localStorage.getItem(kLiveSetting); } catch { return null; } },
  set(value) { try { localStorage.setItem(kLiveSetting, value); } catch { /* not kept */ } },
};
live.checked = remembered.get() !== 'off';

let waiting = 0;

function convertAll() {
  clearTimeout(waiting);
  converter.forget();
  return converter.update(Text1.value);
}

function liveUpdate() {
  clearTimeout(waiting);
  if (!live.checked) return;
  if (converter.outputLength < kLargeOutput) converter.update(Text1.value);
  else waiting = setTimeout(() => converter.update(Text1.value), kTypingPause);
}

// A word being composed (an input method, a phone's keyboard) is converted once it
// is there.
Text1.addEventListener('input', (event) => { if (!event.isComposing) liveUpdate(); });
Text1.addEventListener('compositionend', liveUpdate);
// Screen readers and fonts pick the language from lang.
function markLanguages() {
  Text1.lang = engarm.checked ? 'en' : 'hy';
  Text2.lang = engarm.checked ? 'hy' : 'en';
}
markLanguages();
for (const option of [engarm, armeng]) {
  option.addEventListener('change', () => {
    markLanguages();
    if (live.checked) convertAll();
  });
}
live.addEventListener('change', () => {
  remembered.set(live.checked ? 'on' : 'off');
  pausedByEdit = false;
  if (live.checked) {
    say('');
    convertAll();
  }
});

// What the user types into Text2 is theirs: live conversion stops rather than
// write over it.
Text2.addEventListener('input', () => {
  clearTimeout(waiting);
  converter.forget();
  if (!live.checked) return;
  live.checked = false;
  pausedByEdit = true;
  say('Convert as you type is off while you edit the converted text. '
      + 'Press Convert or turn it on again to convert.');
});

$('Command1').addEventListener('click', () => {
  if (pausedByEdit) {
    live.checked = true;
    pausedByEdit = false;
  }
  say('');
  convertAll();
});

$('copy').addEventListener('click', async () => {
  try {
    await navigator.clipboard.writeText(Text2.value);
    say('The converted text was copied.');
  } catch {
    Text2.select();
    say('Copying was refused here: the converted text is selected, copy it with Ctrl+C.');
  }
});

function download(name, parts, type) {
  const url = URL.createObjectURL(new Blob(parts, { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60_000);
}

// The same question the desktop composer asks before it writes "?" for them.
function askToSaveWithout(missing) {
  let list = missing.slice(0, kListed).join(' ');
  if (missing.length > kListed) list += ` and ${missing.length - kListed} more`;
  $('saveQuestionText').textContent = 'The saved file uses Armenian 8-bit text, which cannot '
    + `hold these characters:\n\n${list}\n\nSave them as "?"?`;
  const dialog = $('saveQuestion');
  dialog.returnValue = 'cancel';
  dialog.showModal();
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue === 'ok'), { once: true });
  });
}

$('Command2').addEventListener('click', async () => {
  const text = Text2.value;
  const missing = engine.unencodable(text);
  if (missing.length > 0 && !(await askToSaveWithout(missing))) return;
  download('output.txt', [engine.savedFile(text)], 'text/plain');
  say('output.txt was saved to your downloads.');
});

$('saveUtf8').addEventListener('click', () => {
  const windows = /Win/.test(navigator.userAgentData?.platform ?? navigator.platform);
  const text = windows ? Text2.value.replace(/\n/g, '\r\n') : Text2.value;
  download('output.utf8.txt', [text], 'text/plain;charset=utf-8');
  say('output.utf8.txt was saved to your downloads.');
});

function formatSize(bytes) {
  const units = ['bytes', 'KiB', 'MiB', 'GiB'];
  let unit = 0;
  let size = bytes;
  while (size >= 1024 && unit < units.length - 1) {
    size /= 1024;
    ++unit;
  }
  return unit === 0 ? `${bytes} bytes` : `${size.toFixed(1).replace(/\.0$/, '')} ${units[unit]}`;
}

async function openFile(file) {
  if (file.size > kLargestFile) {
    say(`\u201C${file.name}\u201D is too large to open: ${formatSize(file.size)}. `
        + `The composer opens files of up to ${formatSize(kLargestFile)}.`);
    return;
  }
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    say(`\u201C${file.name}\u201D could not be read: ${error.message}`);
    return;
  }
  const { kind, text } = engine.open(bytes);
  if (kind === Kind.Binary) {
    say(`\u201C${file.name}\u201D is not a text file: it holds NUL bytes.`);
    return;
  }
  Text1.value = text;
  Text1.setSelectionRange(0, 0);
  Text1.focus();
  say(`\u201C${file.name}\u201D was opened.`);
  liveUpdate();
}

$('open').addEventListener('change', (event) => {
  const [file] = event.target.files;
  event.target.value = '';
  if (file) openFile(file);
});

for (const box of [Text1, Text2]) {
  box.addEventListener('dragover', (event) => {
    if (!event.dataTransfer.types.includes('Files')) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  box.addEventListener('drop', (event) => {
    const { files } = event.dataTransfer;
    if (files.length === 0) return;
    event.preventDefault();
    if (files.length > 1) {
      say('Drop one file at a time: the input box holds one text.');
      return;
    }
    openFile(files[0]);
  });
}

// The coding chart, from the engine's tables.
const chart = engine.chart();
$('Form3-Label1').textContent = chart.heading;
$('Form3-Picture1').replaceChildren(...chart.columns.map((column) => {
  const list = document.createElement('ul');
  for (const { letter, key } of column) {
    const row = document.createElement('li');
    const armenian = document.createElement('span');
    armenian.lang = 'hy';
    armenian.textContent = letter;
    const latin = document.createElement('kbd');
    latin.textContent = key;
    if (/[^\x00-\x7F]/.test(key)) latin.lang = 'hy';
    row.append(armenian, ' , ', latin);
    list.append(row);
  }
  return list;
}));

$('version').textContent = `Version ${engine.version}`;
const about = $('Form2');
const help = $('Form3');
$('Command3').addEventListener('click', () => about.showModal());
$('Form2-Command1').addEventListener('click', () => about.close());
$('Command4').addEventListener('click', () => help.showModal());
help.addEventListener('click', () => help.close());
// The composer's keys: Ctrl+Enter converts from anywhere, F1 is Help.
document.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
    event.preventDefault();
    $('Command1').click();
  } else if (event.key === 'F1') {
    event.preventDefault();
    if (!help.open) help.showModal();
  }
});

if (live.checked) liveUpdate();
document.body.dataset.ready = 'true';
performance.mark('vesnor-ready');

if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').catch((error) => {
    say(`Working offline is not available here: ${error.message}`);
  });
}
