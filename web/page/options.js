// The check options: defaults as the command-line checker has them, the form that edits
// them, their copy in localStorage and their validation.

const STORAGE_KEY = 'artiscope.options';

export const ANSWER_NAMES = [
  'continueAfterLengthFault',
  'deleteOldTexts',
  'remakeTextStore',
  'widenDateWindow',
  'adoptCurrency',
];

const DEFAULT_ANSWERS = {
  continueAfterLengthFault: true,
  deleteOldTexts: true,
  remakeTextStore: false,
  widenDateWindow: false,
  adoptCurrency: false,
};

function pad2(n) {
  return String(n).padStart(2, '0');
}

export function formatDate(d) {
  return `${pad2(d.getDate())}.${pad2(d.getMonth() + 1)}.${d.getFullYear()}`;
}

// A date of the form TT.MM.JJJJ that exists in the calendar, or null.
export function parseDate(text) {
  const m = /^(\d{2})\.(\d{2})\.(\d{4})$/.exec(String(text).trim());
  if (!m) return null;
  const day = Number(m[1]);
  const month = Number(m[2]);
  const year = Number(m[3]);
  const d = new Date(year, month - 1, day);
  if (d.getFullYear() !== year || d.getMonth() !== month - 1 || d.getDate() !== day) return null;
  return d;
}

function shiftedToday(days) {
  const d = new Date();
  d.setHours(12, 0, 0, 0);
  d.setDate(d.getDate() + days);
  return d;
}

// The options of a check nobody changed: today -30 / +30 days as the date window.
export function defaultOptions() {
  return {
    currency: 'EUR',
    country: 'DE',
    dateFrom: formatDate(shiftedToday(-30)),
    dateTo: formatDate(shiftedToday(30)),
    fieldChecks: true,
    characterCheck: true,
    answers: { ...DEFAULT_ANSWERS },
  };
}

// Options of a script call: the defaults, overwritten by the keys given. The date window
// is left to the check when it is not given, so it is computed where the check runs.
export function scriptOptions(given) {
  const base = defaultOptions();
  delete base.dateFrom;
  delete base.dateTo;
  const g = given && typeof given === 'object' ? given : {};
  const out = { ...base };
  for (const key of ['currency', 'country', 'dateFrom', 'dateTo']) {
    if (g[key] !== undefined && g[key] !== null) out[key] = String(g[key]);
  }
  for (const key of ['fieldChecks', 'characterCheck']) {
    if (g[key] !== undefined) out[key] = Boolean(g[key]);
  }
  out.answers = { ...DEFAULT_ANSWERS };
  const answers = g.answers && typeof g.answers === 'object' ? g.answers : {};
  for (const key of ANSWER_NAMES) {
    if (answers[key] !== undefined) out.answers[key] = Boolean(answers[key]);
  }
  return out;
}

function isCode(text, maxLength) {
  return text.length > 0 && text.length <= maxLength && /^[\x21-\x7e]+$/.test(text);
}

// A German message for the first bad value, or null when the options can be used.
export function validate(options) {
  if (options.currency !== undefined && !isCode(options.currency, 3)) {
    return 'Bitte geben Sie als Währung einen Code aus höchstens 3 Zeichen ohne Leerzeichen an, z. B. EUR.';
  }
  if (options.country !== undefined && !isCode(options.country, 10)) {
    return 'Bitte geben Sie die Ländercodes ohne Leerzeichen an (höchstens 10 Zeichen), z. B. DE.';
  }
  const from = options.dateFrom !== undefined ? parseDate(options.dateFrom) : null;
  const to = options.dateTo !== undefined ? parseDate(options.dateTo) : null;
  if (options.dateFrom !== undefined && !from) {
    return `Das Datum „von“ (${options.dateFrom}) ist kein gültiges Datum. Bitte geben Sie es als TT.MM.JJJJ an, z. B. 01.02.2024.`;
  }
  if (options.dateTo !== undefined && !to) {
    return `Das Datum „bis“ (${options.dateTo}) ist kein gültiges Datum. Bitte geben Sie es als TT.MM.JJJJ an, z. B. 31.12.2024.`;
  }
  if (from && to && from > to) {
    return 'Das Datum „von“ liegt nach dem Datum „bis“. Bitte prüfen Sie das Datumsfenster.';
  }
  return null;
}

// The form #options: reads and writes the option values by input name.
export class OptionsForm {
  constructor(form) {
    this.form = form;
    this.message = form.querySelector('.options-message');
    this.write(this.load());
    form.addEventListener('input', () => {
      this.showMessage(null);
      this.save();
    });
    form.addEventListener('change', (e) => {
      this.save();
      // A wrong value is named as soon as the field is left, not only at the next check.
      if (e.target.type !== 'checkbox') this.showMessage(validate(this.read()));
    });
    form.addEventListener('submit', (e) => e.preventDefault());
    form.querySelector('#defaults').addEventListener('click', () => {
      this.write(defaultOptions());
      this.showMessage(null);
      try {
        localStorage.removeItem(STORAGE_KEY);
      } catch {
        // Storage may be off (private mode); the form keeps the values anyway.
      }
    });
  }

  load() {
    const options = defaultOptions();
    let stored = null;
    try {
      stored = JSON.parse(localStorage.getItem(STORAGE_KEY) || 'null');
    } catch {
      stored = null;
    }
    if (!stored || typeof stored !== 'object') return options;
    for (const key of ['currency', 'country', 'dateFrom', 'dateTo']) {
      if (typeof stored[key] === 'string') options[key] = stored[key];
    }
    for (const key of ['fieldChecks', 'characterCheck']) {
      if (typeof stored[key] === 'boolean') options[key] = stored[key];
    }
    const answers = stored.answers || {};
    for (const key of ANSWER_NAMES) {
      if (typeof answers[key] === 'boolean') options.answers[key] = answers[key];
    }
    return options;
  }

  save() {
    try {
      localStorage.setItem(STORAGE_KEY, JSON.stringify(this.read()));
    } catch {
      // Not kept across visits when storage is off; the check still uses the form.
    }
  }

  input(name) {
    return this.form.elements.namedItem(name);
  }

  read() {
    const text = (name) => this.input(name).value.trim();
    const checked = (name) => this.input(name).checked;
    const answers = {};
    for (const key of ANSWER_NAMES) answers[key] = checked(key);
    return {
      currency: text('currency').toUpperCase(),
      country: text('country').toUpperCase(),
      dateFrom: text('dateFrom'),
      dateTo: text('dateTo'),
      fieldChecks: checked('fieldChecks'),
      characterCheck: checked('characterCheck'),
      answers,
    };
  }

  write(options) {
    for (const key of ['currency', 'country', 'dateFrom', 'dateTo']) this.input(key).value = options[key];
    for (const key of ['fieldChecks', 'characterCheck']) this.input(key).checked = options[key];
    for (const key of ANSWER_NAMES) this.input(key).checked = options.answers[key];
  }

  showMessage(text) {
    this.message.textContent = text || '';
    this.message.hidden = !text;
  }

  // The options for the next check, or null after showing what is wrong.
  valid() {
    const options = this.read();
    const problem = validate(options);
    this.showMessage(problem);
    if (problem) {
      this.form.closest('details')?.setAttribute('open', '');
      this.message.scrollIntoView({ block: 'nearest' });
      return null;
    }
    return options;
  }
}
