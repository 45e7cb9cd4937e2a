// The page's side of the check worker (worker.js): starts it, sends the checks and the
// requests for rows, records and logs, and routes its answers back by job. When the
// worker dies (out of memory, or stopped without a shared stop flag) a new one takes
// its place; what the old one held is gone with it.

export const CRASH_PREFIX = 'Die Prüfung ist im Browser abgebrochen: ';
export const GONE_TEXT =
  'Die Ergebnisse dieser Datei sind nach dem Neustart der Prüfung nicht mehr im Speicher. Bitte prüfen Sie die Datei erneut.';

// The check ended because the user stopped it and the worker had to be ended for that.
export class StoppedError extends Error {}

function offsetNumber(offset) {
  return Number(String(offset).replace(/\./g, ''));
}

export class CheckClient {
  // onCrash(message, restarted): the worker died; onReadyChange(ready, message): load state for the page.
  constructor({ onCrash, onReadyChange }) {
    this.onCrash = onCrash;
    this.onReadyChange = onReadyChange;
    this.generation = 0;
    this.worker = null;
    this.pending = new Map(); // request key -> [{resolve, reject}]
    this.current = null; // the check in the worker: {job, resolve, reject, onProgress, lastProgress}
    this.everReady = false;
    this.ready = new Promise((resolve, reject) => {
      this.resolveFirstReady = resolve;
      this.rejectFirstReady = reject;
    });
    this.ready.catch(() => {}); // nobody need wait for it
    this.start();
  }

  get shared() {
    return this.stopFlag !== null;
  }

  start() {
    this.generation += 1;
    this.stopFlag = globalThis.crossOriginIsolated && typeof SharedArrayBuffer === 'function' ? new SharedArrayBuffer(4) : null;
    this.broken = false;
    let worker;
    try {
      worker = new Worker('worker.js');
    } catch (e) {
      this.loadFailed(String(e && e.message ? e.message : e));
      return;
    }
    this.worker = worker;
    this.workerReady = new Promise((resolve, reject) => {
      this.resolveWorkerReady = resolve;
      this.rejectWorkerReady = reject;
    });
    this.workerReady.catch(() => {});
    this.isReady = false;
    worker.onmessage = (e) => this.message(worker, e.data);
    worker.onerror = (e) => {
      e.preventDefault();
      this.died(worker, e.message || 'unbekannter Fehler im Prüfmodul');
    };
    worker.onmessageerror = () => this.died(worker, 'eine Nachricht des Prüfmoduls war nicht lesbar');
    worker.postMessage({ type: 'init', stop: this.stopFlag });
  }

  loadFailed(message) {
    this.broken = true;
    this.worker = null;
    const text = `Das Prüfmodul konnte nicht geladen werden: ${message}`;
    if (!this.everReady) this.rejectFirstReady(new Error(text));
    this.onReadyChange(false, text);
    return text;
  }

  // The worker ended by an error: everything it was asked fails, a new one starts.
  died(worker, message) {
    if (worker !== this.worker) return;
    worker.terminate();
    const wasReady = this.isReady;
    const text = CRASH_PREFIX + message;
    this.rejectWorkerReady(new Error(text));
    this.failAll(new Error(text));
    if (wasReady) {
      this.start();
    } else {
      this.loadFailed(message);
    }
    this.onCrash(text, wasReady);
  }

  failAll(error) {
    const current = this.current;
    this.current = null;
    if (current) current.reject(error);
    for (const waiters of this.pending.values()) for (const w of waiters) w.reject(error);
    this.pending.clear();
  }

  message(worker, m) {
    if (worker !== this.worker || !m || typeof m !== 'object') return;
    switch (m.type) {
      case 'ready':
        this.isReady = true;
        this.resolveWorkerReady();
        if (!this.everReady) {
          this.everReady = true;
          this.resolveFirstReady();
        }
        this.onReadyChange(true, '');
        break;
      case 'progress':
        if (this.current && this.current.job === m.job) {
          this.current.lastProgress = m;
          // The worker clears the flag when a check starts: a stop given just before must be given again.
          if (this.current.stopRequested && this.stopFlag && Atomics.load(new Int32Array(this.stopFlag), 0) === 0) {
            Atomics.store(new Int32Array(this.stopFlag), 0, 1);
          }
          this.current.onProgress(m);
        }
        break;
      case 'result':
        if (this.current && this.current.job === m.job) {
          const current = this.current;
          this.current = null;
          current.resolve(m.result);
        }
        break;
      case 'failed':
        if (this.current && this.current.job === m.job) {
          const current = this.current;
          this.current = null;
          const text = m.message || 'Die Prüfung konnte nicht ausgeführt werden.';
          // An exception inside the check leaves the module in doubt: a fresh worker takes over.
          if (text.startsWith(CRASH_PREFIX)) {
            this.failAll(new Error(GONE_TEXT));
            worker.terminate();
            this.start();
            this.onCrash(text, true);
          }
          current.reject(new Error(text));
        } else if (m.job === undefined && !this.isReady) {
          this.died(worker, m.message || 'unbekannter Fehler');
        } else {
          this.settleJob(m.job, new Error(m.message || 'Die Anfrage ist fehlgeschlagen.'));
        }
        break;
      case 'rows':
        this.settle(`rows:${m.job}:${m.group}:${m.from}`, { total: m.total, rows: m.rows || [] });
        break;
      case 'record':
        this.settle(`record:${m.job}:${offsetNumber(m.offset)}`, m.view);
        break;
      case 'log':
        this.settle(`log:${m.job}`, m.bytes instanceof Uint8Array ? m.bytes : new Uint8Array(m.bytes || 0));
        break;
      default:
        break;
    }
  }

  settle(key, value) {
    const waiters = this.pending.get(key);
    if (!waiters) return;
    this.pending.delete(key);
    for (const w of waiters) w.resolve(value);
  }

  settleJob(job, error) {
    for (const [key, waiters] of [...this.pending]) {
      if (key.split(':')[1] !== String(job)) continue;
      this.pending.delete(key);
      for (const w of waiters) w.reject(error);
    }
  }

  // One answer to a request; requests with the same key share it.
  request(key, generation, message) {
    if (generation !== this.generation || !this.worker) return Promise.reject(new Error(GONE_TEXT));
    return new Promise((resolve, reject) => {
      const waiters = this.pending.get(key);
      if (waiters) {
        waiters.push({ resolve, reject });
        return;
      }
      this.pending.set(key, [{ resolve, reject }]);
      this.worker.postMessage(message);
    });
  }

  // Checks `file`; resolves with the worker's result. Returns the generation of the worker
  // that holds the result through `onStart`.
  async check(job, file, options, onProgress, onStart) {
    if (this.broken) this.start();
    if (this.broken) throw new Error(CRASH_PREFIX + 'das Prüfmodul lässt sich nicht starten.');
    const generation = this.generation;
    await this.workerReady;
    if (generation !== this.generation) throw new Error(CRASH_PREFIX + 'das Prüfmodul wurde neu gestartet.');
    return new Promise((resolve, reject) => {
      this.current = { job, resolve, reject, onProgress, lastProgress: null, stopRequested: false };
      onStart(generation);
      this.worker.postMessage({ type: 'check', job, file, options });
    });
  }

  // Stops the check in progress. With a shared flag the worker ends it itself and sends its
  // result; without, the worker is ended, the check rejects with StoppedError carrying
  // the last progress, and a new worker starts.
  stop() {
    const current = this.current;
    if (!current) return;
    current.stopRequested = true;
    if (this.stopFlag) {
      Atomics.store(new Int32Array(this.stopFlag), 0, 1);
      return;
    }
    const worker = this.worker;
    this.current = null;
    worker.terminate();
    const error = new StoppedError('Durchlauf vom Benutzer abgebrochen.');
    error.progress = current.lastProgress;
    this.failAll(new Error(GONE_TEXT));
    current.reject(error);
    this.start();
  }

  rows(job, generation, group, from, count) {
    return this.request(`rows:${job}:${group}:${from}`, generation, { type: 'rows', job, group, from, count });
  }

  record(job, generation, offset) {
    const n = offsetNumber(offset);
    return this.request(`record:${job}:${n}`, generation, { type: 'record', job, offset: n });
  }

  log(job, generation) {
    return this.request(`log:${job}`, generation, { type: 'log', job });
  }

  release(job, generation) {
    if (generation === this.generation && this.worker) this.worker.postMessage({ type: 'release', job });
  }
}
