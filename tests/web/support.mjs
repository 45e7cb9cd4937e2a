// What the browser tests and the benchmark share: the built programs, the test files they
// make, the static server, Chromium, the page's script interface and the native checker.
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, readdirSync, renameSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const need = (name) => {
  if (!process.env[name]) throw new Error(`${name} is not set (start the tests with tests/web/run.sh)`);
  return process.env[name];
};
export const env = {
  page: need('ARTI_PAGE'),
  checker: need('ARTI_CHECKER'),
  gen: need('ARTI_GEN'),
  serve: need('ARTI_SERVE'),
  work: need('ARTI_WORK'),
  screenshots: process.env.ARTI_SCREENSHOTS || '',
  chromium: process.env.ARTI_CHROMIUM || '/usr/bin/chromium',
};

// A date window every generated date lies in, so only the faults put in show up.
export const BASE = { currency: 'EUR', country: 'DE', dateFrom: '01.01.2000', dateTo: '31.12.2099' };
export const VERSIONS = ['0590', '0196', '2000'];
export const MB = 1e6;

let folders = 0;
export const freshFolder = (what) => {
  const f = join(env.work, `${what}-${process.pid}-${++folders}`);
  mkdirSync(f, { recursive: true });
  return f;
};

// The generator's faults with the versions they apply to, from its own list.
export function faults() {
  const list = execFileSync(env.gen, ['--list-faults'], { encoding: 'utf8' });
  return [...list.matchAll(/^(\S+)\s+\(([^)]*)\)/gm)].map(([, name, v]) => ({ name, versions: v.split(/,\s*/) }));
}

// A generated file below the work folder; a file of the same recipe is made once.
export function generate({ version = '0196', fault = '', records = 60, seed = 11, name = '' } = {}) {
  const dir = join(env.work, 'files');
  mkdirSync(dir, { recursive: true });
  const path = join(dir, name || `${version}_${fault || 'valid'}_${records}_${seed}.001`);
  if (existsSync(path)) return path;
  const args = ['--version', version, '--records', String(records), '--seed', String(seed)];
  if (fault) args.push('--fault', fault);
  execFileSync(env.gen, [...args, `${path}.part`], { stdio: 'ignore' });
  renameSync(`${path}.part`, path);
  return path;
}

// The records that make a file of about `bytes` (the 2000 records are shorter).
export function recordsFor(version, bytes) {
  const sample = generate({ version, records: 10000, seed: 1 });
  return Math.round((bytes / readFileSync(sample).length) * 10000);
}

export function writeFile(name, bytes) {
  const dir = join(env.work, 'files');
  mkdirSync(dir, { recursive: true });
  writeFileSync(join(dir, name), bytes);
  return join(dir, name);
}

// The command line's options for the page's options.
export function checkerArgs(o = {}) {
  const args = [];
  const value = { currency: '--waehrung', country: '--land', dateFrom: '--datum-von', dateTo: '--datum-bis' };
  for (const [k, opt] of Object.entries(value)) if (o[k] !== undefined) args.push(opt, o[k]);
  if (o.fieldChecks === false) args.push('--ohne-feldpruefung');
  if (o.characterCheck === false) args.push('--ohne-zeichenpruefung');
  const answer = {
    continueAfterLengthFault: '--bei-laengenfehler-weiter',
    deleteOldTexts: '--alte-texte-loeschen',
    remakeTextStore: '--textspeicher-neu',
    widenDateWindow: '--datum-anpassen',
    adoptCurrency: '--waehrung-uebernehmen',
  };
  for (const [k, v] of Object.entries(o.answers || {})) args.push(answer[k], v ? 'ja' : 'nein');
  return args;
}

// The native checker on one file in a fresh folder: its report and the bytes of its Error.log.
// With `interruptAfter` (ms) it gets Ctrl+C that long after it has opened its log (the
// file choice, right before the run), so that the stop falls into the run whatever its
// start costs.
export function nativeCheck(file, options = {}, { interruptAfter = 0 } = {}) {
  const dir = freshFolder('native');
  const args = ['-q', '--ohne-fortschritt', '--bericht', '-', '-o', dir, ...checkerArgs(options), file];
  return new Promise((resolve, reject) => {
    const p = spawn(env.checker, args, { cwd: dir, stdio: ['ignore', 'pipe', 'ignore'] });
    let out = '';
    p.stdout.on('data', (d) => (out += d));
    if (interruptAfter) {
      const log = join(dir, 'Error.log');
      const poll = setInterval(() => {
        if (!existsSync(log) || p.exitCode !== null) return;
        clearInterval(poll);
        setTimeout(() => p.kill('SIGINT'), interruptAfter);
      }, 2);
      p.on('close', () => clearInterval(poll));
    }
    p.on('error', reject);
    p.on('close', (code) => {
      const line = out.split('\n').find((l) => l.startsWith('{'));
      if (!line) return reject(new Error(`no report from the checker (exit ${code})`));
      const log = join(dir, 'Error.log');
      resolve({ report: JSON.parse(line), log: existsSync(log) ? readFileSync(log) : Buffer.alloc(0), code });
    });
  });
}

// Error.log without what differs between two runs: the time stamps and the data file's folder.
export function normaliseLog(bytes) {
  return Buffer.from(bytes)
    .toString('latin1')
    .replace(/^Fehlerprotokoll vom [^\r\n]*/, 'Fehlerprotokoll vom …')
    .replace(/\b\d\d:\d\d:\d\d Uhr/g, 'HH:MM:SS Uhr')
    .replace(/^Datei: [^\r\n]*[/\\]/gm, 'Datei: ');
}

// The report's fields that both checks must agree on (not the file's path, log path or time).
export function reportFacts(r) {
  const keys = ['version', 'records', 'findings', 'errors', 'outcome', 'exit_code', 'result', 'reason', 'cause', 'bytes'];
  const facts = Object.fromEntries(keys.map((k) => [k, r[k]]));
  facts.groups = (r.groups || []).map((g) => ({ ...g, example: normaliseLog(Buffer.from(g.example, 'latin1')) }));
  return facts;
}

const freePort = () =>
  new Promise((resolve) => {
    const s = createServer().listen(0, '127.0.0.1', () => {
      const { port } = s.address();
      s.close(() => resolve(port));
    });
  });

// The page's own static server on a free port.
export async function startServer() {
  const port = await freePort();
  const proc = spawn('python3', [env.serve, env.page, String(port)], { stdio: ['ignore', 'ignore', 'inherit'] });
  const origin = `http://127.0.0.1:${port}`;
  for (let i = 0; i < 100; i++) {
    try {
      if ((await fetch(`${origin}/index.html`)).ok) return { origin, close: () => proc.kill() };
    } catch {}
    await new Promise((r) => setTimeout(r, 100));
  }
  proc.kill();
  throw new Error(`the server ${env.serve} did not answer on ${origin}`);
}

const FLAGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Chromium with a fresh profile, the server, and the page loaded and ready.
export async function openPage({ viewport = { width: 1280, height: 860 } } = {}) {
  const server = await startServer();
  const browser = await chromium.launch({
    executablePath: env.chromium,
    headless: true,
    args: FLAGS,
  });
  const context = await browser.newContext({ viewport, locale: 'de-DE' });
  const requests = [];
  context.on('request', (r) => requests.push(r.url()));
  const page = await context.newPage();
  page.on('request', (r) => requests.push(r.url()));
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.goto(`${server.origin}/index.html`);
  await page.evaluate(() => window.artiscope.ready);
  const close = async () => {
    await browser.close();
    server.close();
  };
  return { browser, context, page, origin: server.origin, requests, close };
}

// Hands a file to the page through an input of the test's own, not the page's #files, and
// gives the page `testOutcome`: a check's report, its log as base64 and its time (ms).
async function giveFile(page, path) {
  await page.evaluate(() => {
    if (document.querySelector('#test-file')) return;
    const input = Object.assign(document.createElement('input'), { type: 'file', id: 'test-file', hidden: true });
    document.body.append(input);
    window.testOutcome = async (check, start) => {
      const { report, log } = await check;
      const ms = performance.now() - start;
      let s = '';
      for (let i = 0; i < log.length; i += 0x8000) s += String.fromCharCode(...log.subarray(i, i + 0x8000));
      return { report, log: btoa(s), ms };
    };
  });
  await page.setInputFiles('#test-file', path);
}
const withLog = (r) => ({ ...r, log: Buffer.from(r.log, 'base64') });

// artiscope.check on a file: the report, the log's bytes and the check's time in the page (ms).
export async function pageCheck(page, path, options = {}) {
  await giveFile(page, path);
  return withLog(
    await page.evaluate((options) => {
      const file = document.querySelector('#test-file').files[0];
      const start = performance.now();
      return window.testOutcome(window.artiscope.check(file, options), start);
    }, options),
  );
}

// Starts artiscope.check on a file without waiting for it (see stopPageCheck).
export async function startPageCheck(page, path, options = {}) {
  await giveFile(page, path);
  await page.evaluate((options) => {
    const file = document.querySelector('#test-file').files[0];
    window.testCheck = window.artiscope.check(file, options);
  }, options);
}

// Stops the check started with startPageCheck: its result and the ms from stop() to it.
export async function stopPageCheck(page) {
  return withLog(
    await page.evaluate(() => {
      const start = performance.now();
      window.artiscope.stop();
      return window.testOutcome(window.testCheck, start);
    }),
  );
}

// Peak and current resident memory (MB) of the renderer processes of the Chromium this
// process started.
export function renderers() {
  const parentOf = new Map();
  for (const pid of readdirSync('/proc').filter((d) => /^\d+$/.test(d))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      parentOf.set(pid, stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
    } catch {}
  }
  const below = (pid) => {
    for (let p = parentOf.get(pid); p; p = parentOf.get(p)) if (p === String(process.pid)) return true;
    return false;
  };
  const out = [];
  for (const pid of parentOf.keys()) {
    try {
      if (!below(pid) || !readFileSync(`/proc/${pid}/cmdline`, 'latin1').includes('--type=renderer')) continue;
      const status = readFileSync(`/proc/${pid}/status`, 'utf8');
      const kb = (k) => Number(status.match(new RegExp(`^${k}:\\s+(\\d+)`, 'm'))[1]);
      out.push({ pid: Number(pid), peakMB: kb('VmHWM') / 1024, rssMB: kb('VmRSS') / 1024 });
    } catch {}
  }
  return out;
}

export const screenshot = async (page, name) => {
  if (!env.screenshots) return;
  mkdirSync(env.screenshots, { recursive: true });
  await page.screenshot({ path: join(env.screenshots, `${name}.png`), fullPage: true });
};
