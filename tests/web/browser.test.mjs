// The web edition in a real browser, as a user works it: Debian's headless Chromium,
// driven through the DevTools protocol, against the site served on 127.0.0.1.
//   node --test browser.test.mjs   with VESNOR_SITE (the built site), VESNOR_VERSION,
//   VESNOR_SAVEDBYTES (the desktop's Save, as a program) and, to look at the page,
//   VESNOR_SHOTS (a folder for screenshots).
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { serve } from './serve.mjs';
import puppeteer from 'puppeteer-core';

const site = process.env.VESNOR_SITE;
const shots = process.env.VESNOR_SHOTS;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'vesnor-web-'));
if (shots) fs.mkdirSync(shots, { recursive: true });

let server;
let browser;
let origin;

before(async () => {
  server = await serve(site);
  origin = `http://127.0.0.1:${server.port}`;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

// A fresh page with nothing remembered; every request it makes and every error it
// reports is kept for the test to look at.
async function openPage({ width = 1280, height = 900, dark = false } = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.requests = [];
  page.errors = [];
  page.on('request', (request) => page.requests.push(request.url()));
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (entry) => {
    if (entry.type() === 'error') page.errors.push(entry.text());
  });
  await page.setViewport({ width, height, isMobile: width < 500, hasTouch: width < 500 });
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: dark ? 'dark' : 'light' }]);
  await page.goto(`${origin}/`);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

const value = (page, id) => page.$eval(`#${id}`, (box) => box.value);
const text = (page, selector) => page.$eval(selector, (element) => element.textContent);

// Types at the end of the box, as after a click below its text.
async function typeInto(page, id, typed) {
  await page.focus(`#${id}`);
  await page.$eval(`#${id}`, (box) => box.setSelectionRange(box.value.length, box.value.length));
  await page.keyboard.type(typed);
}

async function output(page, expected) {
  await page.waitForFunction((want) => document.getElementById('Text2').value === want,
    { timeout: 10_000 }, expected).catch(() => {});
  return value(page, 'Text2');
}

async function downloadsInto(page, folder) {
  fs.mkdirSync(folder, { recursive: true });
  const session = await browser.target().createCDPSession();
  await session.send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: folder, browserContextId: page.browserContext().id });
}

async function downloaded(file) {
  for (let tries = 0; tries < 200 && !fs.existsSync(file); ++tries) {
    await new Promise((resume) => setTimeout(resume, 50));
  }
  return fs.readFileSync(file);
}

describe('the composer page', () => {
  test('converts as the user types, in both directions, line by line', async () => {
    const page = await openPage();
    await typeInto(page, 'Text1', 'Barev Dzez');
    assert.equal(await output(page, 'Բարև Ձեզ'), 'Բարև Ձեզ');

    // An edit in the middle converts that line; "vo" there starts a word again.
    await page.keyboard.press('Enter');
    await page.keyboard.type('yes');
    await page.$eval('#Text1', (box) => box.setSelectionRange(5, 5));
    await page.keyboard.type('\nvonc');
    assert.equal(await output(page, 'Բարև\nոնց Ձեզ\nես'), 'Բարև\nոնց Ձեզ\nես');

    await page.click('#armeng');
    assert.equal(await output(page, 'Barev\nvonc Dzez\nyes'), 'Barev\nvonc Dzez\nyes');
    assert.deepEqual(page.errors, []);
  });

  test('an edit of the output stops live conversion until Convert', async () => {
    const page = await openPage();
    await typeInto(page, 'Text1', 'Barev');
    await output(page, 'Բարև');
    await typeInto(page, 'Text2', '!');
    assert.equal(await page.$eval('#live', (box) => box.checked), false);
    await typeInto(page, 'Text1', ' Dzez');
    assert.equal(await value(page, 'Text2'), 'Բարև!');
    assert.match(await text(page, '#message'), /Convert as you type is off/);

    await page.focus('#Text1');
    await page.keyboard.down('Control');
    await page.keyboard.press('Enter');
    await page.keyboard.up('Control');
    assert.equal(await output(page, 'Բարև Ձեզ'), 'Բարև Ձեզ');
    assert.equal(await value(page, 'Text1'), 'Barev Dzez', 'Ctrl+Enter breaks no line');
    assert.equal(await page.$eval('#live', (box) => box.checked), true);
  });

  test('the live switch is remembered, and Convert works without it', async () => {
    const page = await openPage();
    await page.click('#live');
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.$eval('#live', (box) => box.checked), false);
    await typeInto(page, 'Text1', 'Vochinch');
    assert.equal(await value(page, 'Text2'), '');
    await page.click('#Command1');
    assert.equal(await output(page, 'Ոչինչ'), 'Ոչինչ');
  });

  test('a pasted megabyte converts without holding the page', async () => {
    const page = await openPage();
    const lines = Array.from({ length: 30000 }, (_, k) => `Barev Dzez ${k} shnorhakalutyun`);
    await page.$eval('#Text1', (box, pasted) => {
      box.value = pasted;
      box.dispatchEvent(new Event('input'));
    }, lines.join('\n'));
    const expected = lines.map((line) => line.replace('Barev Dzez', 'Բարև Ձեզ')
      .replace('shnorhakalutyun', 'շնորհակալուտյուն')).join('\n');
    assert.equal(await output(page, expected), expected);
  });

  test('Open takes a saved file, and refuses a file that is no text', async () => {
    const page = await openPage();
    const saved = path.join(scratch, 'output.txt');
    fs.writeFileSync(saved, Buffer.concat([
      Buffer.from('To open this text in Word use Unicode UTF-7 encoding. \r\n\r\n'),
      Buffer.from([0xBA, 0xF1, 0xA8, 0xB3, 0xDD, 0x0D, 0x0A, 0xB4])]));
    const input = await page.$('#open');
    await input.uploadFile(saved);
    await page.waitForFunction(() => document.getElementById('Text1').value !== '');
    assert.equal(await value(page, 'Text1'), 'Երևան\nԲ');

    const binary = path.join(scratch, 'picture.txt');
    fs.writeFileSync(binary, Buffer.from([0x47, 0x00, 0x49]));
    await input.uploadFile(binary);
    await page.waitForFunction(() => /NUL/.test(document.getElementById('message').textContent));
    assert.equal(await text(page, '#message'), '\u201Cpicture.txt\u201D is not a text file: it holds NUL bytes.');
    assert.equal(await value(page, 'Text1'), 'Երևան\nԲ');
  });

  test('Save downloads the bytes the desktop Save writes', async () => {
    const page = await openPage();
    const folder = path.join(scratch, 'downloads');
    await downloadsInto(page, folder);
    const box = 'Բարև, “Ձեզ” 😀\nyes ev Жж 😀';
    await page.$eval('#Text2', (element, typed) => { element.value = typed; }, box);

    await page.click('#Command2');
    await page.waitForSelector('#saveQuestion[open]');
    assert.match(await text(page, '#saveQuestionText'), /cannot hold these characters:\n\n“ ” 😀 Ж ж\n/);
    await page.click('#saveCancel');
    await page.click('#Command2');
    await page.waitForSelector('#saveQuestion[open]');
    await page.click('#saveOk');
    const desktop = execFileSync(process.env.VESNOR_SAVEDBYTES, { input: box });
    assert.deepEqual(await downloaded(path.join(folder, 'output.txt')), desktop);

    await page.click('#saveUtf8');
    assert.equal((await downloaded(path.join(folder, 'output.utf8.txt'))).toString(), box);
    assert.deepEqual(fs.readdirSync(folder).sort(), ['output.txt', 'output.utf8.txt'],
      'Cancel saved nothing');
  });

  test('Help shows the chart from the tables, About the product window', async () => {
    const page = await openPage();
    await page.keyboard.press('F1');
    await page.waitForSelector('#Form3[open]');
    assert.equal(await text(page, '#Form3-Label1'), 'Ծրագրում օգտագործված կոդավորումը');
    const columns = await page.$$eval('#Form3-Picture1 ul',
      (lists) => lists.map((list) => [...list.children].map((row) => row.textContent)));
    assert.deepEqual(columns.map((column) => column.length), [29, 31, 29]);
    assert.deepEqual([columns[0][0], columns[0][24], columns[1][25], columns[2][23]],
      ['Ա , A', 'Ու , U', 'ու , u', 'և , ev']);
    await page.click('#Form3-Label1');
    assert.equal(await page.$eval('#Form3', (dialog) => dialog.open), false);

    await page.click('#Command3');
    await page.waitForSelector('#Form2[open]');
    assert.equal(await text(page, '#Form2-Label1'), 'Vesnor v. 1.0 (beta)');
    assert.equal(await text(page, '#version'), `Version ${process.env.VESNOR_VERSION}`);
    assert.ok(await page.$eval('#Form2-Picture1', (picture) => picture.naturalWidth > 0));
    await page.click('#Form2-Command1');
    assert.equal(await page.$eval('#Form2', (dialog) => dialog.open), false);
  });

  test('nothing leaves the device, and a reload works with the server gone', async () => {
    const page = await openPage();
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    assert.ok(page.requests.every((url) => url.startsWith(origin)), page.requests.join(' '));
    const loaded = page.requests.length;
    await typeInto(page, 'Text1', 'Barev');
    await page.click('#Command4');
    await page.click('#Form3');
    assert.deepEqual(page.requests.slice(loaded), [], 'requests after load');

    await server.close();
    try {
      await page.reload();
      await page.waitForSelector('body[data-ready="true"]');
      await typeInto(page, 'Text1', 'Barev');
      assert.equal(await output(page, 'Բարև'), 'Բարև');
    } finally {
      server = await serve(site);
      origin = `http://127.0.0.1:${server.port}`;
    }
    assert.deepEqual(page.errors, []);
  });

  test('on a phone nothing scrolls sideways and every target takes a finger', async () => {
    for (const dark of [false, true]) {
      const page = await openPage({ width: 360, height: 640, dark });
      await typeInto(page, 'Text1', 'Barev Dzez, vonc es?');
      const sideways = await page.evaluate(() => document.documentElement.scrollWidth
        - document.documentElement.clientWidth);
      assert.equal(sideways, 0);
      const small = await page.$$eval('button, .button, fieldset label, .switch', (targets) => targets
        .map((target) => [target.id || target.textContent.trim(), target.getBoundingClientRect()])
        .filter(([, box]) => box.width > 0 && (box.height < 44 || box.width < 44))
        .map(([name]) => name));
      assert.deepEqual(small, []);
      if (shots) await page.screenshot({ path: path.join(shots, `phone-${dark ? 'dark' : 'light'}.png`), fullPage: true });
    }
    if (shots) {
      for (const dark of [false, true]) {
        const page = await openPage({ dark });
        await typeInto(page, 'Text1', 'Barev Dzez,\nvonc es? Yes lav em, shnorhakalutyun.');
        await page.screenshot({ path: path.join(shots, `desktop-${dark ? 'dark' : 'light'}.png`) });
        await page.click('#Command4');
        await page.screenshot({ path: path.join(shots, `help-${dark ? 'dark' : 'light'}.png`) });
      }
    }
  });
});
