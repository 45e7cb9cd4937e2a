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

// Called by the engine at least every 10 ms of a check; 1 stops the check.
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

// The data file's reads served from the reader worker's ring while they go on in order;
// any other read (the header, the end mark, a record shown later) reads the File itself.
class ReadAhead {
  constructor(file) {
    this.slots = 4;
    this.size = 4 << 20; // as large as the engine's reads, so that each takes one slot
    this.data = new Uint8Array(new SharedArrayBuffer(this.slots * this.size));
    this.state = new Int32Array(new SharedArrayBuffer(4 * (2 * this.slots + 1)));
    this.slot = 0;
    this.head = null; // the file's first slice, once the ring has moved on
    this.closed = false;
    this.start = 0; // file offset of the current slot's contents
    readerWorker.postMessage({ file, data: this.data.buffer, control: this.state.buffer,
      slots: this.slots, size: this.size });
  }

  // The current slot once it is filled: its length, or -1 when the reader failed or is late.
  filled() {
    const at = 2 * this.slot;
    if (Atomics.load(this.state, at) === 0) Atomics.wait(this.state, at, 0, 10000);
    return Atomics.load(this.state, at) === 0 ? -1 : this.state[at + 1];
  }

  // Copies what the file holds at `position` into `buffer`: all `length` bytes (fewer only
  // where the file ends, as a read of the File would), or -1 when the ring does not hold
  // them. The engine's reader takes a shorter read for the end of the file.
  read(buffer, offset, length, position) {
    if (this.closed) return -1;
    if (position < this.start) return this.readHead(buffer, offset, length, position);
    // A read further on than the next slice (the end mark, say) does not wait for the ring.
    if (position > this.start + this.size) return -1;
    let done = 0;
    while (done < length) {
      const at = position + done;
      const filled = this.filled();
      if (filled < 0) return -1;
      if (at >= this.start + filled) {
        // Beyond the slot: the file ends there, or the read goes on in the next slot.
        if (filled < this.size) break;
        if (at > this.start + filled) return -1;
        this.advance(filled);
        continue;
      }
      const from = at - this.start;
      const count = Math.min(length - done, filled - from);
      const slot = this.slot * this.size;
      buffer.set(this.data.subarray(slot + from, slot + from + count), offset + done);
      done += count;
    }
    return done;
  }

  // Frees the current slot for the reader and moves on to the next. The file's first slice
  // is kept: the header is read again after the run.
  advance(filled) {
    if (this.start === 0) this.head = this.data.slice(0, filled);
    Atomics.store(this.state, 2 * this.slot, 0);
    Atomics.notify(this.state, 2 * this.slot);
    this.start += filled;
    this.slot = (this.slot + 1) % this.slots;
  }

  readHead(buffer, offset, length, position) {
    if (!this.head || position + length > this.head.length) return -1;
    buffer.set(this.head.subarray(position, position + length), offset);
    return length;
  }

  close() {
    this.closed = true;
    Atomics.store(this.state, 2 * this.slots, 1);
    for (let i = 0; i < this.slots; i++) Atomics.notify(this.state, 2 * i);
  }
}

// The reader worker, started with this one and kept for every check: a worker busy with a
// check could neither start another nor hear that it is ready. Each check has a ring of
// its own, so a reader still ending the last one never touches the next one's.
let readerWorker = null;
function startReader() {
  if (typeof SharedArrayBuffer === 'undefined') return Promise.resolve();
  return new Promise((resolve) => {
    const w = new Worker('reader.js');
    w.onmessage = () => {
      readerWorker = w;
      resolve();
    };
    w.onerror = () => resolve();
  });
}

// Serves the reads of the file mounted at `path` from a ReadAhead, where the page is
// isolated enough to share memory with the reader; returns it (null: plain reads).
function readAhead(path, file) {
  if (!readerWorker || file.size < (8 << 20)) return null;
  const ahead = new ReadAhead(file);
  const node = engine.FS.lookupPath(path).node;
  const plain = node.stream_ops.read;
  node.stream_ops = Object.assign({}, node.stream_ops, {
    read(stream, buffer, offset, length, position) {
      const got = ahead.read(buffer, offset, length, position);
      return got >= 0 ? got : plain(stream, buffer, offset, length, position);
    },
  });
  return ahead;
}

function runCheck(job, file, options) {
  const FS = engine.FS;
  const input = '/eingabe/' + job;
  const work = '/arbeit/' + job;
  FS.mkdirTree(input);
  FS.mkdirTree(work);
  FS.mount(FS.filesystems.WORKERFS, { files: [file] }, input);
  const ahead = readAhead(input + '/' + file.name, file);
  if (stopFlag) Atomics.store(stopFlag, 0, 0);
  lastProgress = 0;
  engine.onCheckProgress = (b, s, r, t) => onCheckProgress(job, b, s, r, t);
  const started = performance.now();
  const id = call('arti_check', ['number', 'string', 'string', 'string', 'string'],
    [input, file.name, work, JSON.stringify(options || {})]);
  engine.onCheckProgress = null;
  if (ahead) ahead.close();
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
  startReader(),
  fetch('article-captions.json').then((r) => (r.ok ? r.json() : null)).catch(() => null),
]).then(([module, , loaded]) => {
  engine = module;
  captions = loaded;
  post({ type: 'ready' });
  for (const message of pending.splice(0)) self.onmessage({ data: message });
});
