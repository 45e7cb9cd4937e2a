// The findings list of one file as a virtual table: fixed row height, a tall spacer, and
// only the rows in view (plus a few) in the document. Rows come from the worker in pages
// and are kept in a bounded LRU cache; rows not yet there show as placeholders.

export const PAGE_ROWS = 200;
const ROW_HEIGHT = 24; // px, same as .finding in app.css
const OVERSCAN = 8;
const VIEW_HEIGHT = 360; // px, the list's height when it has more rows
const CACHE_PAGES = 64; // 12,800 rows
const MAX_IN_FLIGHT = 2;
// Browsers cap an element's height (Firefox near 17.9 million px); beyond this the
// scroll position maps onto the rows proportionally.
const MAX_SPACER = 8000000;

const number = new Intl.NumberFormat('de-DE');

export class FindingsTable {
  // fetchPage(group, from, count) -> Promise<{total, rows}>; onPick(row) on a click or Enter.
  constructor(root, { fetchPage, onPick, total }) {
    this.fetchPage = fetchPage;
    this.onPick = onPick;
    this.group = -1;
    this.total = total;
    this.cache = new Map(); // page key -> rows, oldest first
    this.inFlight = new Set();
    this.refused = new Set(); // pages the worker could not give: not asked again
    this.selected = -1;
    this.pool = [];
    this.generation = 0;
    this.frame = 0;

    this.root = root;
    root.classList.add('findings-wrap');
    root.innerHTML = '';
    const head = document.createElement('div');
    head.className = 'findings-head';
    head.setAttribute('role', 'row');
    for (const caption of ['Satz', 'Datei-Offset', 'Satz-Offset', 'Meldung']) {
      const cell = document.createElement('span');
      cell.setAttribute('role', 'columnheader');
      cell.textContent = caption;
      head.append(cell);
    }
    this.scroller = document.createElement('div');
    this.scroller.className = 'findings';
    this.scroller.tabIndex = 0;
    this.scroller.setAttribute('role', 'grid');
    this.scroller.setAttribute('aria-label', 'Meldungen');
    this.spacer = document.createElement('div');
    this.spacer.className = 'findings-spacer';
    this.scroller.append(this.spacer);
    this.empty = document.createElement('p');
    this.empty.className = 'findings-empty';
    this.empty.textContent = 'Keine Meldungen.';
    root.append(head, this.scroller, this.empty);

    this.scroller.addEventListener('scroll', () => this.schedule(), { passive: true });
    this.scroller.addEventListener('click', (e) => {
      const row = e.target.closest('.finding');
      if (row && row.dataset.index) this.pick(Number(row.dataset.index));
    });
    this.scroller.addEventListener('keydown', (e) => this.key(e));
    this.resizer = new ResizeObserver(() => this.schedule());
    this.resizer.observe(this.scroller);
    this.layout();
  }

  // Shows the findings of one group (-1: all); `total` is the expected count until the
  // worker tells the real one.
  setGroup(group, total) {
    this.group = group;
    this.total = total;
    this.selected = -1;
    this.refused.clear();
    this.generation++;
    this.scroller.scrollTop = 0;
    this.layout();
  }

  // The worker forgot this file's findings (it was restarted): no more requests.
  disable(text) {
    this.disabled = true;
    this.cache.clear();
    this.total = 0;
    this.empty.textContent = text;
    this.layout();
  }

  destroy() {
    this.resizer.disconnect();
    cancelAnimationFrame(this.frame);
    this.cache.clear();
  }

  layout() {
    const height = this.total * ROW_HEIGHT;
    this.spacer.style.height = `${Math.min(height, MAX_SPACER)}px`;
    // A short list takes only the room of its rows.
    this.scroller.style.height = `${Math.min(VIEW_HEIGHT, height + 2)}px`;
    this.empty.hidden = this.total > 0;
    this.scroller.hidden = this.total === 0;
    this.schedule();
  }

  schedule() {
    if (this.frame) return;
    this.frame = requestAnimationFrame(() => {
      this.frame = 0;
      this.render();
    });
  }

  // Which row is at the top of the view, and how far (px) it is from the view's top.
  viewport() {
    const view = this.scroller.clientHeight;
    const full = this.total * ROW_HEIGHT;
    const spacer = Math.min(full, MAX_SPACER);
    const top = this.scroller.scrollTop;
    const scale = spacer > view ? Math.max(1, (full - view) / (spacer - view)) : 1;
    const virtualTop = top * scale;
    return { view, top, first: Math.floor(virtualTop / ROW_HEIGHT), shift: virtualTop % ROW_HEIGHT };
  }

  render() {
    if (this.total === 0) return;
    const { view, top, first, shift } = this.viewport();
    const from = Math.max(0, first - OVERSCAN);
    const to = Math.min(this.total, first + Math.ceil(view / ROW_HEIGHT) + 1 + OVERSCAN);
    const count = Math.max(0, to - from);
    while (this.pool.length < count) {
      const row = document.createElement('div');
      row.className = 'finding';
      row.setAttribute('role', 'row');
      for (let i = 0; i < 4; i++) row.append(document.createElement('span'));
      this.pool.push(row);
      this.scroller.append(row);
    }
    for (let i = 0; i < this.pool.length; i++) {
      const row = this.pool[i];
      if (i >= count) {
        row.hidden = true;
        continue;
      }
      const index = from + i;
      row.hidden = false;
      row.style.transform = `translateY(${top - shift + (index - first) * ROW_HEIGHT}px)`;
      this.fill(row, index);
    }
    const missing = new Set();
    for (let index = from; index < to; index += 1) {
      const page = Math.floor(index / PAGE_ROWS);
      if (!this.cached(page)) missing.add(page);
      index = Math.max(index, (page + 1) * PAGE_ROWS - 1);
    }
    for (const page of missing) this.request(page);
  }

  fill(row, index) {
    const page = this.cached(Math.floor(index / PAGE_ROWS));
    const data = page ? page[index % PAGE_ROWS] : null;
    const cells = row.children;
    row.dataset.index = String(index);
    row.classList.toggle('selected', index === this.selected);
    if (!data) {
      row.classList.add('placeholder');
      row.classList.remove('error');
      cells[0].textContent = number.format(index + 1);
      cells[1].textContent = '';
      cells[2].textContent = '';
      cells[3].textContent = '…';
      row.title = '';
      return;
    }
    row.classList.remove('placeholder');
    row.classList.toggle('error', Boolean(data.error));
    cells[0].textContent = data.record;
    cells[1].textContent = data.offset;
    cells[2].textContent = data.position;
    cells[3].textContent = data.text;
    row.title = data.text;
  }

  pageKey(group, page) {
    return `${group}:${page}`;
  }

  cached(page) {
    const k = this.pageKey(this.group, page);
    const rows = this.cache.get(k);
    if (!rows) return null;
    this.cache.delete(k);
    this.cache.set(k, rows);
    return rows;
  }

  request(page) {
    if (this.disabled) return;
    const k = this.pageKey(this.group, page);
    if (this.inFlight.has(k) || this.refused.has(k) || this.inFlight.size >= MAX_IN_FLIGHT) return;
    this.inFlight.add(k);
    const generation = this.generation;
    const group = this.group;
    this.fetchPage(group, page * PAGE_ROWS, PAGE_ROWS)
      .then((answer) => {
        this.cache.set(this.pageKey(group, page), answer.rows);
        while (this.cache.size > CACHE_PAGES) this.cache.delete(this.cache.keys().next().value);
        if (generation === this.generation && answer.total !== this.total) {
          this.total = answer.total;
          this.layout();
        }
      })
      .catch(() => {
        this.refused.add(k);
      })
      .finally(() => {
        this.inFlight.delete(k);
        // Pages passed over while these were on their way are asked for now, if still in view.
        if (generation === this.generation) this.schedule();
      });
  }

  rowAt(index) {
    const page = this.cached(Math.floor(index / PAGE_ROWS));
    return page ? page[index % PAGE_ROWS] || null : null;
  }

  pick(index) {
    this.selected = index;
    this.schedule();
    const row = this.rowAt(index);
    if (row) this.onPick(row);
  }

  // Up/Down/Page keys move the selection; Enter shows the selected finding's record.
  key(e) {
    if (this.total === 0) return;
    const pageRows = Math.max(1, Math.floor(this.scroller.clientHeight / ROW_HEIGHT) - 1);
    const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: pageRows, PageUp: -pageRows };
    if (e.key === 'Enter' && this.selected >= 0) {
      this.pick(this.selected);
      e.preventDefault();
      return;
    }
    if (!(e.key in moves)) return;
    e.preventDefault();
    this.selected = Math.min(this.total - 1, Math.max(0, this.selected + moves[e.key]));
    this.reveal(this.selected);
    this.schedule();
  }

  // Scrolls so that row `index` is in view.
  reveal(index) {
    const { view, first } = this.viewport();
    const visible = Math.floor(view / ROW_HEIGHT);
    if (index >= first && index < first + visible) return;
    const full = this.total * ROW_HEIGHT;
    const spacer = Math.min(full, MAX_SPACER);
    const scale = spacer > view ? Math.max(1, (full - view) / (spacer - view)) : 1;
    const wanted = index < first ? index * ROW_HEIGHT : (index - visible + 1) * ROW_HEIGHT;
    this.scroller.scrollTop = Math.max(0, wanted / scale);
  }
}
