// The page's check against the native checker on the same generated files of each version:
// wall time of each (native: artiscope-check -q; page: artiscope.check timed in the page), the
// best of N runs, MB/s and the page's speed as a share of the native one. Goal: the page at
// least half as fast (the last line says whether it was met). `1gb` checks a 1 GB file once and prints the renderer's peak memory.
//
//   tests/web/run.sh --bench [MB | 1gb] [PAGE_DIR [CHECKER [GENERATOR]]]    (ARTI_RUNS=N, default 3)
import { performance } from 'node:perf_hooks';
import { rmSync, statSync } from 'node:fs';
import { BASE, MB, VERSIONS, generate, nativeCheck, openPage, pageCheck, recordsFor, renderers } from './support.mjs';

const arg = process.argv[2] || '100';
const huge = arg.toLowerCase() === '1gb';
const megabytes = huge ? 1000 : Number(arg);
const runs = huge ? 1 : Number(process.env.ARTI_RUNS || 3);
if (!(megabytes > 0)) throw new Error(`bench.mjs [MB | 1gb], not ${arg}`);

async function best(n, once) {
  let ms = Infinity;
  for (let i = 0; i < n; i++) ms = Math.min(ms, await once());
  return ms;
}
const nativeMs = (file) =>
  best(runs, async () => {
    const start = performance.now();
    const r = await nativeCheck(file, BASE);
    if (r.report.outcome !== 'complete') throw new Error(`native: ${r.report.result}`);
    return performance.now() - start;
  });

const web = await openPage();
let met = true;
try {
  console.log(`version   size      native            page              page/native (best of ${runs})`);
  for (const version of huge ? ['0196'] : VERSIONS) {
    const file = generate({ version, records: recordsFor(version, megabytes * MB), seed: 9 });
    const size = statSync(file).size / MB;
    const native = await nativeMs(file);
    const page = await best(runs, async () => {
      const r = await pageCheck(web.page, file, BASE);
      if (r.report.outcome !== 'complete') throw new Error(`page: ${r.report.result}`);
      return r.ms;
    });
    const share = native / page;
    met &&= share >= 0.5;
    const speed = (ms) => `${(ms / 1000).toFixed(2).padStart(6)} s ${((size * 1000) / ms).toFixed(0).padStart(5)} MB/s`;
    console.log(`${version}    ${size.toFixed(0).padStart(5)} MB  ${speed(native)}  ${speed(page)}  ${share.toFixed(2)}`);
    rmSync(file, { force: true }); // one large file on disk at a time
  }
  if (huge)
    for (const p of renderers()) console.log(`renderer ${p.pid}: peak ${p.peakMB.toFixed(1)} MB resident`);
  console.log(`Ziel: die Seite prüft mindestens halb so schnell wie artiscope-check: ${met ? 'erfüllt' : 'nicht erfüllt'}`);
} finally {
  await web.close();
}
// A benchmark prints its figures; only a failed check ends it with an error.
process.exit(0);
