// One file's result card: how the check ended, its counts, the groups of equal findings,
// the findings table and the downloads.

import { FindingsTable } from './table.js';

const number = new Intl.NumberFormat('de-DE');
const REFUSED = new Set(['not_recognised', 'aborted', 'io_error', 'missing']);

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function figure(n) {
  return typeof n === 'number' ? number.format(n) : String(n ?? '–');
}

// Green, amber or red, and the word on the badge.
export function verdict(report) {
  if (REFUSED.has(report.outcome)) {
    const word = report.outcome === 'aborted' ? 'abgebrochen' : 'nicht geprüft';
    return { tone: 'bad', word };
  }
  if (report.outcome === 'interrupted') return { tone: 'warn', word: 'angehalten' };
  if (report.exit_code === 0) return { tone: 'ok', word: 'in Ordnung' };
  const errors = report.errors === 1 ? '1 Fehler' : `${figure(report.errors)} Fehler`;
  return { tone: 'warn', word: errors };
}

// Saves bytes as a file through a temporary link.
export function saveBytes(bytes, name, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  a.hidden = true;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

export class ResultCard {
  // actions: {rows(group, from, count), record(row), firstOf(group), log(), logName(), remove()}
  constructor(list, fileName, actions) {
    this.actions = actions;
    this.fileName = fileName;
    this.root = el('li', 'result waiting');
    this.root.dataset.file = fileName;
    const head = el('div', 'result-head');
    this.title = el('h3', 'result-name', fileName);
    this.badge = el('span', 'badge', 'wartet');
    const remove = el('button', 'result-remove', '×');
    remove.type = 'button';
    remove.title = 'Ergebnis entfernen';
    remove.setAttribute('aria-label', `Ergebnis von ${fileName} entfernen`);
    remove.addEventListener('click', () => actions.remove());
    this.removeButton = remove;
    head.append(this.title, this.badge, remove);
    this.outcome = el('p', 'outcome', 'Wartet auf die Prüfung.');
    this.body = el('div', 'result-body');
    this.root.append(head, this.outcome, this.body);
    list.append(this.root);
  }

  setRunning() {
    this.root.className = 'result running';
    this.badge.textContent = 'wird geprüft';
    this.outcome.textContent = 'Wird geprüft …';
    this.removeButton.disabled = true;
  }

  // Not checked: stopped before its turn, or the check could not run at all.
  setFailed(text, tone = 'bad', word = 'nicht geprüft') {
    this.root.className = `result ${tone}`;
    this.badge.textContent = word;
    this.outcome.textContent = text;
    this.removeButton.disabled = false;
  }

  showResult(result, { reportOnly = false } = {}) {
    const report = result.report || {};
    this.result = result;
    const { tone, word } = verdict(report);
    this.root.className = `result ${tone}`;
    this.root.dataset.outcome = report.outcome || '';
    this.badge.textContent = word;
    this.outcome.textContent = result.outcomeText || report.result || '';
    this.removeButton.disabled = false;
    this.body.replaceChildren(this.facts(result), this.downloads(reportOnly));
    const groups = result.groups || [];
    if (!reportOnly && groups.length > 0) this.body.append(this.groupList(groups));
    if (!reportOnly && (result.findings || 0) > 0) this.body.append(this.findingsPart(result));
    if (!reportOnly && result.listCut) {
      const shown = `${figure(result.findings)} von ${figure(report.findings)}`;
      this.body.append(el('p', 'hint', `Die Liste zeigt die ersten ${shown} Meldungen; alle stehen im Error.log.`));
    }
  }

  facts(result) {
    const report = result.report;
    const dl = el('dl', 'facts');
    const add = (term, value, className) => {
      const pair = el('div', `fact ${className || ''}`.trim());
      pair.append(el('dt', '', term), el('dd', '', value));
      dl.append(pair);
    };
    add('Version', report.version ?? '–');
    add('Sätze', figure(report.records));
    add('Meldungen', figure(report.findings));
    add('davon Fehler', figure(report.errors), report.errors > 0 ? 'has-errors' : '');
    if (typeof report.seconds === 'number') {
      add('Dauer', `${report.seconds.toLocaleString('de-DE', { maximumFractionDigits: 2 })} s`);
    }
    if (report.reason) add('Grund', report.reason, 'reason');
    return dl;
  }

  downloads(reportOnly) {
    const box = el('div', 'downloads');
    const log = el('button', 'download-log', 'Error.log');
    log.type = 'button';
    log.title = 'Das Protokoll der Prüfung speichern (Windows-1252)';
    log.disabled = reportOnly;
    log.addEventListener('click', async () => {
      log.disabled = true;
      try {
        const bytes = await this.actions.log();
        saveBytes(bytes, this.actions.logName(), 'application/octet-stream');
      } catch (e) {
        this.note(e.message);
      } finally {
        log.disabled = Boolean(this.logGone);
      }
    });
    const json = el('button', 'download-report', 'Bericht (JSON)');
    json.type = 'button';
    json.title = 'Den Bericht der Prüfung für Skripte speichern';
    json.addEventListener('click', () => {
      const text = JSON.stringify(this.result.report) + '\n';
      saveBytes(new TextEncoder().encode(text), `${this.fileName}.json`, 'application/json');
    });
    this.noteLine = el('span', 'result-note');
    box.append(log, json, this.noteLine);
    return box;
  }

  note(text) {
    if (this.noteLine) this.noteLine.textContent = text || '';
  }

  groupList(groups) {
    const part = el('section', 'groups');
    const head = el('div', 'groups-head');
    head.append(el('h4', '', 'Meldungen im Überblick'));
    this.allButton = el('button', 'show-all', 'Alle Meldungen');
    this.allButton.type = 'button';
    this.allButton.disabled = true;
    this.allButton.addEventListener('click', () => this.chooseGroup(-1));
    head.append(this.allButton);
    const columns = el('div', 'group group-captions');
    columns.setAttribute('aria-hidden', 'true');
    for (const c of ['Anzahl', 'Fehler', 'Satzart', 'Feld', 'Erste Meldung', 'Anteil']) columns.append(el('span', '', c));
    const list = el('div', 'group-list');
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', 'Gruppen gleicher Meldungen');
    this.groupRows = groups.map((g, i) => {
      const row = el('div', `group ${g.errors > 0 ? 'with-errors' : 'notes'}`);
      row.dataset.group = String(i);
      row.tabIndex = 0;
      row.setAttribute('role', 'option');
      row.title = g.kind ? `${g.kind}: ${g.example}` : g.example;
      const bar = el('span', 'bar');
      const fill = el('span', 'bar-fill');
      fill.style.width = `${Math.max(0.5, Math.min(1, Number(g.share) || 0) * 100)}%`;
      bar.append(fill);
      row.append(
        el('span', 'count', figure(g.count)),
        el('span', 'errors', figure(g.errors)),
        el('span', 'type', g.recordType ? g.recordType : 'Datei'),
        el('span', 'field', g.field === null || g.field === undefined || g.field === '' ? '–' : String(g.field)),
        el('span', 'example', g.example || ''),
        bar,
      );
      row.addEventListener('click', () => this.chooseGroup(i));
      // As in the window: a double click shows the record of the group's first finding.
      row.addEventListener('dblclick', () => {
        if (!this.logGone) this.actions.firstOf(i);
      });
      row.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ') {
          e.preventDefault();
          this.chooseGroup(i);
        }
      });
      return row;
    });
    list.append(...this.groupRows);
    part.append(head, columns, list);
    return part;
  }

  findingsPart(result) {
    const part = el('section', 'findings-part');
    this.findingsCaption = el('h4', '', '');
    const holder = el('div', '');
    part.append(this.findingsCaption, holder);
    this.table = new FindingsTable(holder, {
      total: result.findings,
      fetchPage: (group, from, count) => this.actions.rows(group, from, count),
      onPick: (row) => this.actions.record(row),
    });
    this.captionFor(-1);
    return part;
  }

  captionFor(group) {
    if (!this.findingsCaption) return;
    if (group < 0) {
      this.findingsCaption.textContent = `Alle Meldungen (${figure(this.result.findings)})`;
    } else {
      const g = this.result.groups[group];
      const fileLevel = !g.recordType || g.recordType === 'Datei';
      const where = fileLevel ? 'Datei' : `Satzart ${g.recordType}${g.field ? `, Feld ${g.field}` : ''}`;
      this.findingsCaption.textContent = `Gruppe: ${where} (${figure(g.count)})`;
    }
  }

  chooseGroup(group) {
    if (!this.table) return;
    this.groupRows?.forEach((row, i) => {
      row.classList.toggle('chosen', i === group);
      row.setAttribute('aria-selected', String(i === group));
    });
    if (this.allButton) this.allButton.disabled = group < 0;
    const total = group < 0 ? this.result.findings : this.result.groups[group].count;
    this.table.setGroup(group, total);
    this.captionFor(group);
  }

  // The worker that held the findings is gone.
  forget(text) {
    if (this.table) this.table.disable(text);
    const log = this.root.querySelector('.download-log');
    if (log) log.disabled = true;
    this.logGone = true;
    this.note(text);
  }

  destroy() {
    this.table?.destroy();
    this.root.remove();
  }
}
