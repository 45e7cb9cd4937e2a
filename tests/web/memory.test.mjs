// A 200 MB file checks in the page while Chromium's renderer (page and worker) stays below
// 256 MB resident at its peak.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { BASE, MB, generate, openPage, pageCheck, recordsFor, renderers } from './support.mjs';

test('a 200 MB file checks with the renderer under 256 MB', async () => {
  const file = generate({ version: '0196', records: recordsFor('0196', 200 * MB), seed: 5 });
  const web = await openPage();
  try {
    const { report, ms } = await pageCheck(web.page, file, BASE);
    assert.equal(report.outcome, 'complete');
    const procs = renderers();
    assert.ok(procs.length > 0, 'no renderer found');
    for (const p of procs)
      console.log(`renderer ${p.pid}: peak ${p.peakMB.toFixed(1)} MB, now ${p.rssMB.toFixed(1)} MB (check ${ms.toFixed(0)} ms)`);
    const peak = Math.max(...procs.map((p) => p.peakMB));
    assert.ok(peak < 256, `peak ${peak.toFixed(1)} MB`);
  } finally {
    await web.close();
  }
});
