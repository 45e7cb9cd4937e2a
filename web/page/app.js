// The ELDANORM check page: options, the queue of files checked one after the other by the
// check worker, a result card per file, the record panel, and window.artiscope for scripts.

import { CheckClient, CRASH_PREFIX, GONE_TEXT, StoppedError } from './client.js';
import { OptionsForm, scriptOptions, validate } from './options.js';
import { RecordPanel } from './record.js';
import { ResultCard } from './result.js';

const number = new Intl.NumberFormat('de-DE');
const STOPPED_TEXT = 'Durchlauf vom Benutzer abgebrochen.';
const KEEP_RESULTS = 10;
const RELEASED_TEXT =
  'Die Meldungen dieser Datei wurden freigegeben, um Speicher zu sparen. Bitte prüfen Sie die Datei erneut, um sie anzusehen.';

const $ = (selector) => document.querySelector(selector);

const ui = {
  files: $('#files'),
  drop: $('#drop'),
  progress: $('#progress'),
  progressFile: $('#progress .progress-file'),
  progressQueue: $('#progress .progress-queue'),
  progressBar: $('#progress progress'),
  progressFigures: $('#progress .progress-figures'),
  stop: $('#stop'),
  results: $('#results'),
  resultsEmpty: $('.results-empty'),
  clear: $('#clear'),
  message: $('#page-message'),
  moduleState: $('#module-state'),
};

const options = new OptionsForm($('#options'));
const record = new RecordPanel($('#record'));
const client = new CheckClient({ onCrash: crashed, onReadyChange: moduleState });

const tasks = new Map(); // job -> task, every card on the page
const queue = []; // tasks waiting for their turn
let current = null; // the task being checked
let nextJob = 1;
let batch = { total: 0, started: 0, failed: false };

function setState(state) {
  document.body.dataset.state = state;
}

function pageMessage(text) {
  ui.message.textContent = text || '';
  ui.message.hidden = !text;
}

function moduleState(ready, text) {
  if (!ready) {
    ui.moduleState.textContent = text;
    ui.moduleState.className = 'module-state failed';
    return;
  }
  ui.moduleState.className = 'module-state ready';
  ui.moduleState.textContent = client.shared
    ? 'Prüfmodul bereit.'
    : 'Prüfmodul bereit. Hinweis: „Stopp“ beendet hier das Prüfmodul; die Meldungen früher geprüfter Dateien sind danach nicht mehr abrufbar.';
}

// The worker died: the check in progress has failed (its promise says so), and what the
// old worker held for earlier files is gone.
function crashed(text, restarted) {
  const end = /[.!?]$/.test(text) ? '' : '.';
  const next = restarted
    ? 'Das Prüfmodul wurde neu gestartet; Sie können weitere Dateien prüfen.'
    : 'Das Prüfmodul ließ sich nicht laden; bitte laden Sie die Seite neu.';
  pageMessage(`${text}${end} ${next}`);
  forgetStale();
}

// The worker keeps each checked file's findings and log in memory until released; only
// the latest files keep theirs, so a long session does not run out of memory.
function releaseOld() {
  const kept = [...tasks.values()].filter((t) => t.result && !t.gone);
  for (const task of kept.slice(0, Math.max(0, kept.length - KEEP_RESULTS))) {
    client.release(task.job, task.generation);
    task.gone = true;
    task.card.forget(RELEASED_TEXT);
  }
}

function forgetStale() {
  for (const task of tasks.values()) {
    if (task.result && task.generation !== client.generation && !task.gone) {
      task.gone = true;
      task.card.forget(GONE_TEXT);
    }
  }
}

function updateResultsHead() {
  ui.resultsEmpty.hidden = tasks.size > 0;
  ui.clear.hidden = tasks.size === 0;
}

// ---- queue --------------------------------------------------------------------------

function enqueue(file, checkOptions, api = null) {
  const job = nextJob++;
  const name = file.name || `Datei ${job}`;
  const task = { job, file, name, options: checkOptions, api, generation: 0, result: null, gone: false };
  task.card = new ResultCard(ui.results, name, {
    rows: (group, from, count) => client.rows(job, task.generation, group, from, count),
    record: (row) => showRecord(task, row),
    firstOf: (group) =>
      client.rows(job, task.generation, group, 0, 1).then(
        (answer) => answer.rows[0] && showRecord(task, answer.rows[0]),
        (e) => record.message(e.message),
      ),
    log: () => client.log(job, task.generation),
    logName: () => (tasks.size > 1 ? `${name}.Error.log` : 'Error.log'),
    remove: () => removeTask(task),
  });
  tasks.set(job, task);
  updateResultsHead();
  if (!current && queue.length === 0) batch = { total: 0, started: 0, failed: false };
  batch.total += 1;
  queue.push(task);
  setState('running');
  if (!current) runNext();
  return task;
}

function runNext() {
  const task = queue.shift();
  if (!task) return;
  current = task;
  batch.started += 1;
  task.card.setRunning();
  showProgress(task, null);
  client
    .check(task.job, task.file, task.options, (p) => showProgress(task, p), (generation) => {
      task.generation = generation;
    })
    .then(
      (result) => finished(task, result),
      (error) => (error instanceof StoppedError ? stopped(task, error.progress) : failed(task, error)),
    );
}

// The end of one task: the next one starts, or the batch is over. Runs before a script's
// promise is settled, so the script sees the state of the page after its file.
function advance() {
  current = null;
  if (queue.length > 0) {
    runNext();
    return;
  }
  ui.progress.hidden = true;
  ui.stop.disabled = true;
  setState(batch.failed ? 'failed' : 'done');
}

async function finished(task, result) {
  try {
    task.card.showResult(result);
  } catch (e) {
    // A result the page cannot read must not hold up the queue.
    failed(task, new Error(`Das Ergebnis der Prüfung ist nicht lesbar: ${e.message}`));
    return;
  }
  task.result = result;
  releaseOld();
  if (!task.api) {
    advance();
    return;
  }
  // The script gets the file's log with its report; the next file waits for it.
  let log = null;
  let logError = null;
  try {
    log = await client.log(task.job, task.generation);
  } catch (e) {
    logError = e;
    batch.failed = true;
  }
  advance();
  if (logError) task.api.reject(logError);
  else task.api.resolve({ report: result.report, log });
}

function failed(task, error) {
  batch.failed = true;
  task.card.setFailed(error.message);
  // A crash has been told already, with the restart of the module.
  if (!error.message.startsWith(CRASH_PREFIX)) pageMessage(error.message);
  advance();
  task.api?.reject(error);
}

// Stopped without a shared stop flag: the worker was ended, only the last progress is known.
function stopped(task, progress) {
  forgetStale();
  const report = {
    type: 'file',
    file: task.name,
    version: '-',
    records: progress ? progress.records : 0,
    findings: null,
    errors: null,
    outcome: 'interrupted',
    exit_code: 2,
    result: STOPPED_TEXT,
    reason: STOPPED_TEXT,
    cause: 'interrupted',
    groups: [],
    log: '',
    bytes: progress ? progress.bytes : 0,
    seconds: progress ? progress.seconds : 0,
  };
  task.result = { report, outcomeText: STOPPED_TEXT, summary: '', groups: [], findings: 0 };
  task.gone = true;
  task.card.showResult(task.result, { reportOnly: true });
  advance();
  task.api?.resolve({ report, log: new Uint8Array(0) });
}

// Stop: ends the file in progress and drops the files still waiting.
function stop() {
  for (const task of queue.splice(0)) {
    task.card.setFailed('Nicht geprüft: die Prüfung wurde angehalten.', 'warn', 'nicht geprüft');
    task.api?.reject(new Error('Die Prüfung wurde angehalten, bevor diese Datei an der Reihe war.'));
  }
  if (current) {
    current.stopping = true;
    ui.stop.disabled = true;
    ui.progressFigures.textContent = 'Wird angehalten …';
    client.stop();
  }
}

function removeTask(task) {
  if (task === current) return;
  const waiting = queue.indexOf(task);
  if (waiting >= 0) {
    queue.splice(waiting, 1);
    batch.total -= 1;
    task.api?.reject(new Error('Die Datei wurde aus der Warteschlange entfernt.'));
  }
  if (task.result && !task.gone) client.release(task.job, task.generation);
  task.card.destroy();
  tasks.delete(task.job);
  updateResultsHead();
}

function showProgress(task, p) {
  ui.progress.hidden = false;
  ui.stop.disabled = Boolean(task.stopping);
  ui.progressFile.textContent = task.name;
  ui.progressQueue.textContent = batch.total > 1 ? `Datei ${batch.started} von ${batch.total}` : '';
  if (!p) {
    ui.progressBar.removeAttribute('value');
    ui.progressFigures.textContent = 'Die Prüfung beginnt …';
    return;
  }
  const share = p.size > 0 ? Math.min(1, p.bytes / p.size) : 0;
  ui.progressBar.value = share * 100;
  const speed = p.seconds > 0 ? p.bytes / p.seconds / 1e6 : 0;
  const parts = [
    `${number.format(p.records)} ${p.records === 1 ? 'Satz' : 'Sätze'}`,
    `${Math.floor(share * 100)} %`,
    `${speed.toLocaleString('de-DE', { maximumFractionDigits: 1, minimumFractionDigits: 1 })} MB/s`,
  ];
  if (!task.stopping) ui.progressFigures.textContent = parts.join(' · ');
}

// ---- record panel -------------------------------------------------------------------

function showRecord(task, row) {
  if (task.gone) {
    record.message(GONE_TEXT);
    return;
  }
  if (!row.offset) {
    record.open();
    record.title.textContent = task.name;
    record.message('Diese Meldung betrifft die ganze Datei, nicht einen Satz.');
    return;
  }
  record.show(task.name, row.offset, () => client.record(task.job, task.generation, row.offset), row.record);
}

// ---- files --------------------------------------------------------------------------

function checkFiles(fileList) {
  const files = [...fileList];
  if (files.length === 0) return;
  const checkOptions = options.valid();
  if (!checkOptions) return;
  pageMessage(null);
  for (const file of files) enqueue(file, checkOptions);
}

ui.files.addEventListener('change', () => {
  checkFiles(ui.files.files);
  ui.files.value = '';
});

ui.drop.addEventListener('click', (e) => {
  if (e.target === ui.drop || e.target.tagName === 'P' || e.target.tagName === 'STRONG') ui.files.click();
});
ui.drop.addEventListener('keydown', (e) => {
  if (e.target === ui.drop && (e.key === 'Enter' || e.key === ' ')) {
    e.preventDefault();
    ui.files.click();
  }
});
for (const type of ['dragenter', 'dragover']) {
  ui.drop.addEventListener(type, (e) => {
    e.preventDefault();
    e.dataTransfer.dropEffect = 'copy';
    ui.drop.classList.add('over');
  });
}
ui.drop.addEventListener('dragleave', (e) => {
  if (!ui.drop.contains(e.relatedTarget)) ui.drop.classList.remove('over');
});
ui.drop.addEventListener('drop', (e) => {
  e.preventDefault();
  ui.drop.classList.remove('over');
  checkFiles(e.dataTransfer.files);
});
// A file dropped beside the zone is not opened by the browser in place of the page.
for (const type of ['dragover', 'drop']) {
  document.addEventListener(type, (e) => {
    if (!ui.drop.contains(e.target)) e.preventDefault();
  });
}

ui.stop.addEventListener('click', stop);
ui.clear.addEventListener('click', () => {
  for (const task of [...tasks.values()]) removeTask(task);
  record.close();
});

// ---- script interface ---------------------------------------------------------------

window.artiscope = Object.freeze({
  ready: client.ready,
  // Checks one file with the default options and those given; resolves with
  // {report, log} (log: the file's Error.log bytes).
  check(file, given = {}) {
    if (!(file instanceof Blob)) {
      return Promise.reject(new TypeError('artiscope.check erwartet eine Datei (File oder Blob).'));
    }
    const checkOptions = scriptOptions(given);
    const problem = validate(checkOptions);
    if (problem) return Promise.reject(new Error(problem));
    return new Promise((resolve, reject) => {
      enqueue(file, checkOptions, { resolve, reject });
    });
  },
  stop,
});
