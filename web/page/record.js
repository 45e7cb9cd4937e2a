// The record panel (#record): a record's text, its field table and, for an article, the
// article as decoded.

function el(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

export class RecordPanel {
  constructor(root) {
    this.root = root;
    this.title = root.querySelector('.record-title');
    this.body = root.querySelector('.record-body');
    this.ticket = 0;
    root.querySelector('.record-close').addEventListener('click', () => this.close());
    document.addEventListener('keydown', (e) => {
      if (e.key === 'Escape' && !this.root.hidden) this.close();
    });
  }

  close() {
    this.ticket += 1;
    this.root.hidden = true;
    document.body.classList.remove('record-open');
  }

  open() {
    this.root.hidden = false;
    document.body.classList.add('record-open');
  }

  // Shows "loading" at once, then the record of `load()` unless another was asked for since.
  // `counter`: the record's number as the finding gives it, for a view without one.
  async show(fileName, offsetText, load, counter = '') {
    const ticket = ++this.ticket;
    this.open();
    this.title.textContent = `Satz bei Datei-Offset ${offsetText} – ${fileName}`;
    this.body.replaceChildren(el('p', 'hint', 'Der Satz wird gelesen …'));
    try {
      const view = await load();
      if (ticket === this.ticket) this.render(fileName, view, counter);
    } catch (e) {
      if (ticket === this.ticket) this.message(e.message);
    }
  }

  message(text) {
    this.open();
    this.body.replaceChildren(el('p', 'record-message', text));
  }

  render(fileName, view, fallbackCounter = '') {
    if (!view) {
      this.message('Der Satz konnte nicht gelesen werden.');
      return;
    }
    const number = view.counter || fallbackCounter;
    const counter = number ? ` ${number}` : '';
    const type = view.recordType ? ` (Satzart ${view.recordType})` : '';
    this.title.textContent = `Satz${counter}${type}, Datei-Offset ${view.offset}`;
    const meta = el('p', 'record-meta', `${fileName}${view.version ? ` · Version ${view.version}` : ''}`);
    const text = el('pre', 'record-lines', (view.lines || []).join('\n'));
    const parts = [meta, text];
    if (view.fields && view.fields.length > 0) parts.push(this.fieldTable(view.fields));
    if (view.article) parts.push(this.article(view.article));
    this.body.replaceChildren(...parts);
    this.body.scrollTop = 0;
  }

  fieldTable(fields) {
    const table = el('table', 'record-fields');
    const head = el('tr');
    for (const c of ['Nr', 'Feldname', 'Inhalt', 'Länge', 'Typ', 'M/K', 'ab Pos']) head.append(el('th', '', c));
    table.append(el('thead'), el('tbody'));
    table.tHead.append(head);
    for (const f of fields) {
      const row = el('tr');
      row.append(
        el('td', 'num', String(f.nr ?? '')),
        el('td', '', f.name ?? ''),
        el('td', 'content', f.content ?? ''),
        el('td', 'num', String(f.length ?? '')),
        el('td', '', f.type ?? ''),
        el('td', '', f.mk ?? ''),
        el('td', 'num', String(f.pos ?? '')),
      );
      table.tBodies[0].append(row);
    }
    const wrap = el('div', 'record-table-wrap');
    wrap.append(table);
    return wrap;
  }

  article(article) {
    const part = el('section', 'record-article');
    part.append(el('h3', '', 'Artikel'));
    const list = el('dl', 'article-items');
    for (const item of article.items || []) list.append(el('dt', '', item.caption), el('dd', '', item.value));
    part.append(list);
    if (article.text) {
      part.append(el('h4', '', article.textCaption || 'Langtext'), el('pre', 'article-text', article.text));
    }
    return part;
  }
}
