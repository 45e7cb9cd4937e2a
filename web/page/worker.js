// The check engine's worker: it loads the WebAssembly module, reads each file the page
// hands it in slices straight from the File (nothing is copied whole into memory), runs the
// check and answers the page's questions about the result. The log and long-text store of
// a check live in the worker's memory until the page releases the check.
'use strict';

importScripts('artiscope.js');

let engine = null; // the module, once loaded
let stopFlag = null; // Int32Array on the page's SharedArrayBuffer (null: none)
let captions = null; // the sequence window's label captions
const checks = new Map(); // job -> { id, input, work }

// The time between two progress messages (ms).
const PROGRESS_EVERY = 50;
let lastProgress = 0;

function post(message, transfer) {
  self.postMessage(message, transfer || []);
}

function call(name, types, args) {
  return engine.ccall(name, types[0], types.slice(1), args);
}

function jsonCall(name, types, args) {
  const text = engine.UTF8ToString(call(name, ['number'].concat(types), args));
  return JSON.parse(text);
}

// Called by the engine every few thousand records; 1 stops the check.
function onCheckProgress(job, bytes, size, records, seconds) {
  const now = performance.now();
  if (now - lastProgress >= PROGRESS_EVERY) {
    lastProgress = now;
    post({ type: 'progress', job, bytes, size, records, seconds });
  }
  return stopFlag && Atomics.load(stopFlag, 0) !== 0 ? 1 : 0;
}

function removeTree(path) {
  const FS = engine.FS;
  let stat;
  try {
    stat = FS.lstat(path);
  } catch (e) {
    return;
  }
  if (FS.isDir(stat.mode)) {
    for (const name of FS.readdir(path)) {
      if (name !== '.' && name !== '..') removeTree(path + '/' + name);
    }
    FS.rmdir(path);
  } else {
    FS.unlink(path);
  }
}

function runCheck(job, file, options) {
  const FS = engine.FS;
  const input = '/eingabe/' + job;
  const work = '/arbeit/' + job;
  FS.mkdirTree(input);
  FS.mkdirTree(work);
  FS.mount(FS.filesystems.WORKERFS, { files: [file] }, input);
  if (stopFlag) Atomics.store(stopFlag, 0, 0);
  lastProgress = 0;
  engine.onCheckProgress = (b, s, r, t) => onCheckProgress(job, b, s, r, t);
  const started = performance.now();
  const id = call('arti_check', ['number', 'string', 'string', 'string', 'string'],
    [input, file.name, work, JSON.stringify(options || {})]);
  engine.onCheckProgress = null;
  if (id === 0) {
    FS.unmount(input);
    removeTree(work);
    post({ type: 'failed', job, message: engine.UTF8ToString(call('arti_error', ['number'], [])) });
    return;
  }
  checks.set(job, { id, input, work });
  const result = jsonCall('arti_result', ['number'], [id]);
  result.wallSeconds = (performance.now() - started) / 1000;
  post({ type: 'result', job, result });
}

// The decoded article: each label's value with the caption the sequence window gives it.
function articleItems(article) {
  if (!article) return null;
  const items = [];
  for (const { label, caption } of captions ? captions.items : []) {
    const value = (article.labels[label] || '').trim();
    if (value !== '') items.push({ caption, value });
  }
  return { items, text: article.text, textCaption: captions ? captions.textCaption : '' };
}

function handle(message) {
  const check = checks.get(message.job);
  switch (message.type) {
    case 'init':
      stopFlag = message.stop ? new Int32Array(message.stop) : null;
      return;
    case 'check':
      runCheck(message.job, message.file, message.options);
      return;
    case 'rows': {
      const answer = check ? jsonCall('arti_rows', ['number', 'number', 'number', 'number'],
        [check.id, message.group, message.from, message.count]) : null;
      post({ type: 'rows', job: message.job, group: message.group, from: message.from,
        total: answer ? answer.total : 0, rows: answer ? answer.rows : [] });
      return;
    }
    case 'record': {
      const answer = check ? jsonCall('arti_record', ['number', 'number'], [check.id, message.offset]) : null;
      const view = answer && answer.view ? answer.view : null;
      if (view) view.article = articleItems(view.article);
      post({ type: 'record', job: message.job, offset: message.offset, view });
      return;
    }
    case 'log': {
      let bytes = new Uint8Array(0);
      if (check) {
        const path = engine.UTF8ToString(call('arti_log', ['number', 'number'], [check.id]));
        try {
          bytes = engine.FS.readFile(path);
        } catch (e) {
          bytes = new Uint8Array(0);
        }
      }
      post({ type: 'log', job: message.job, bytes }, [bytes.buffer]);
      return;
    }
    case 'release':
      if (check) {
        call('arti_release', [null, 'number'], [check.id]);
        engine.FS.unmount(check.input);
        removeTree(check.work);
        checks.delete(message.job);
      }
      return;
    default:
      return;
  }
}

const pending = [];
self.onmessage = (event) => {
  if (!engine) {
    pending.push(event.data);
    return;
  }
  try {
    handle(event.data);
  } catch (e) {
    post({ type: 'failed', job: event.data.job, message: 'Die Prüfung ist im Browser abgebrochen: ' + e });
  }
};

Promise.all([
  createArtiscope(),
  fetch('article-captions.json').then((r) => (r.ok ? r.json() : null)).catch(() => null),
]).then(([module, loaded]) => {
  engine = module;
  captions = loaded;
  post({ type: 'ready' });
  for (const message of pending.splice(0)) self.onmessage({ data: message });
});
