// The page as a person uses it: files chosen in #files become result cards with groups and
// findings, a finding shows its record, and Stop ends a long check at once (through the
// button and through the script interface) like Ctrl+C ends the native checker.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import {
  BASE,
  MB,
  generate,
  nativeCheck,
  normaliseLog,
  openPage,
  pageCheck,
  recordsFor,
  screenshot,
  startPageCheck,
  stopPageCheck,
  writeFile,
} from './support.mjs';

let web;
let big;
before(async () => {
  big = generate({ version: '0196', records: recordsFor('0196', 200 * MB), seed: 5 });
  web = await openPage();
  await screenshot(web.page, 'empty');
  // Every change of the page's state, with the one it left and when (ms in the page).
  await web.page.evaluate(() => {
    window.testStates = [];
    new MutationObserver((records) => {
      for (const r of records) window.testStates.push({ left: r.oldValue, at: performance.now() });
    }).observe(document.body, { attributes: true, attributeOldValue: true, attributeFilter: ['data-state'] });
  });
});
after(() => web?.close());

const startUi = async (files) => {
  await web.page.evaluate(() => (window.testStates = []));
  await web.page.setInputFiles('#files', files);
};
const ranInUi = () =>
  web.page.waitForFunction(
    () => window.testStates.some((s) => s.left === 'running') && document.body.dataset.state !== 'running',
    null,
    { timeout: 120000 },
  );
const lastLine = (log) => normaliseLog(log).trimEnd().split(/\r?\n/).pop().replace(/\d+/g, 'N');

test('each chosen file gets its result card', async () => {
  await startUi([writeFile('Preise.txt', 'keine Artikeldaten\r\n'), generate({ version: '2000' })]);
  await ranInUi();
  await web.page.locator('.result').nth(1).waitFor();
  assert.equal(await web.page.locator('.result').count(), 2);
  await screenshot(web.page, 'refusal');
});

test('a faulty file shows its groups, and a finding its record', async () => {
  await startUi(generate({ version: '0196', fault: 'field-faults-everywhere' }));
  await ranInUi();
  const card = web.page.locator('.result').last();
  await card.locator('.groups .group').first().waitFor();
  await screenshot(web.page, 'groups');
  await card.locator('.findings .finding').first().click();
  await web.page.locator('#record table').waitFor();
  assert.ok((await web.page.locator('#record table tr').count()) > 3);
  await screenshot(web.page, 'record');
});

test('Stop ends a long check within 100 ms, as Ctrl+C ends the native one', async (t) => {
  // The native check reads 200 MB in about a quarter of a second: Ctrl+C comes 50 ms into
  // its run.
  const native = await nativeCheck(big, BASE, { interruptAfter: 50 });
  const ways = {
    'artiscope.stop()': async () => {
      await startPageCheck(web.page, big, BASE);
      await web.page.waitForTimeout(150);
      return stopPageCheck(web.page);
    },
    '#stop': async () => {
      await startUi(big);
      await web.page.waitForFunction(() => document.body.dataset.state === 'running');
      await web.page.waitForTimeout(150);
      await screenshot(web.page, 'running');
      await web.page.evaluate(() =>
        document.querySelector('#stop').addEventListener('click', () => (window.testClick = performance.now()), {
          capture: true,
          once: true,
        }),
      );
      await web.page.click('#stop');
      await ranInUi();
      const ms = await web.page.evaluate(() => window.testStates.find((s) => s.left === 'running').at - window.testClick);
      return { ms };
    },
  };
  for (const [way, stop] of Object.entries(ways))
    await t.test(way, async () => {
      const r = await stop();
      console.log(`${way}: the check ended ${r.ms.toFixed(1)} ms after Stop`);
      assert.ok(r.ms < 100, `${r.ms} ms`);
      if (r.report) {
        assert.equal(native.report.outcome, 'interrupted');
        for (const k of ['outcome', 'exit_code', 'cause']) assert.equal(r.report[k], native.report[k]);
        assert.equal(lastLine(r.log), lastLine(native.log));
      }
      const next = await pageCheck(web.page, generate({ version: '0590' }), BASE);
      assert.equal(next.report.outcome, 'complete');
    });
});
