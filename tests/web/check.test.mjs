// The page's check against the native checker on the same files: the same Error.log (apart
// from time stamps and the file's folder) and the same report, for every version, fault and
// a few option sets; files it cannot check are refused alike and leave the page usable; no
// request leaves the page's origin.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import {
  BASE,
  MB,
  VERSIONS,
  faults,
  generate,
  recordsFor,
  nativeCheck,
  normaliseLog,
  openPage,
  pageCheck,
  reportFacts,
  writeFile,
} from './support.mjs';

const repo = fileURLToPath(new URL('../..', import.meta.url));
let web;
before(async () => (web = await openPage()));
after(() => web?.close());

async function sameAsNative(file, options) {
  const native = await nativeCheck(file, options);
  const page = await pageCheck(web.page, file, options);
  assert.deepEqual(reportFacts(page.report), reportFacts(native.report));
  assert.equal(normaliseLog(page.log), normaliseLog(native.log));
  return page.report;
}

test('the page writes the native checker\'s Error.log and report', async (t) => {
  const cases = [];
  for (const version of VERSIONS) {
    cases.push({ version, options: BASE });
    for (const f of faults().filter((f) => f.versions.includes(version)))
      cases.push({ version, fault: f.name, options: BASE });
  }
  const narrow = { ...BASE, dateFrom: '01.01.2024', dateTo: '31.01.2024' };
  cases.push(
    { version: '0196', options: {} }, // the command line's defaults
    { version: '0196', fault: 'field-faults-everywhere', options: { ...BASE, fieldChecks: false } },
    { version: '2000', fault: 'bad-character', options: { ...BASE, characterCheck: false } },
    { version: '0590', options: { ...BASE, currency: 'CHF', country: 'CH' } },
    { version: '0196', fault: 'foreign-currency', options: { ...BASE, answers: { adoptCurrency: true } } },
    { version: '0196', options: { ...narrow, answers: { widenDateWindow: false } } },
    { version: '2000', options: { ...narrow, answers: { widenDateWindow: true } } },
    { version: '0590', fault: 'wrong-length', options: { ...BASE, answers: { continueAfterLengthFault: false } } },
  );
  // Files of 12 MB are read ahead through the ring of slices, across its slot borders; in
  // one of them every record has findings.
  for (const version of VERSIONS)
    cases.push({ version, fault: 'bad-check-digit', records: recordsFor(version, 12 * MB), options: BASE });
  cases.push({ version: '0196', fault: 'field-faults-everywhere', records: recordsFor('0196', 12 * MB), options: BASE });
  for (const c of cases)
    await t.test(`${c.version} ${c.fault || 'valid'} ${JSON.stringify(c.options)}`, () =>
      sameAsNative(generate(c), c.options),
    );
});

test('files that are no ELDANORM are refused as natively and the page checks on', async (t) => {
  let seed = 7;
  const noise = Buffer.from(Array.from({ length: 5000 }, () => (seed = (seed * 1103515245 + 12345) % 2 ** 31) >> 23));
  const files = {
    empty: writeFile('empty.001', ''),
    datanorm: `${repo}tests/data/datanorm/muhkuh__example_DATANORM.001`,
    'random bytes': writeFile('noise.001', noise),
    text: writeFile('text.txt', 'Preisliste Frühjahr\r\nSchrauben, Muttern, Dübel\r\n'),
  };
  for (const [name, file] of Object.entries(files))
    await t.test(name, async () => {
      assert.equal((await sameAsNative(file, BASE)).outcome, 'not_recognised');
      const next = await pageCheck(web.page, generate({ version: '0196' }), BASE);
      assert.equal(next.report.outcome, 'complete');
    });
});

test('no request leaves the page\'s origin', async () => {
  await pageCheck(web.page, generate({ version: '2000', fault: 'bad-check-digit' }), BASE);
  const foreign = web.requests.filter((u) => !u.startsWith(`${web.origin}/`) && !/^(blob|data):/.test(u));
  assert.deepEqual(foreign, []);
  // The worker's own loads are among those seen, so its requests are watched too.
  for (const name of ['worker.js', 'artiscope.wasm'])
    assert.ok(web.requests.some((u) => u.endsWith(`/${name}`)), `${name} not seen in ${web.requests}`);
});
