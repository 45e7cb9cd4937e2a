// Reads a File ahead of the check, from its start to its end, into a ring of shared slots,
// so that the browser's reading and the check run side by side on two cores. One reader
// serves every check of the page, each with a ring of its own.
//
// The file is read as a stream into one buffer of our own that every read hands back
// (a "BYOB" reader): no new buffer per slice, so memory stays flat however large the file.
//
// Ring: `slots` slots of `size` bytes in `data`; `control` holds per slot its state
// (0: free, 1: filled) and the length filled (-1: the reading failed), then one word that
// tells the reader to stop. The last slot filled is shorter than `size` (it may be empty):
// the file ends there.
'use strict';

self.postMessage('ready');

async function waitUntilFree(state, at, stopAt) {
  while (Atomics.load(state, at) !== 0) {
    if (Atomics.load(state, stopAt) !== 0) return false;
    await Atomics.waitAsync(state, at, 1, 1000).value;
  }
  return Atomics.load(state, stopAt) === 0;
}

// Reads up to `size` bytes into `into` (a Uint8Array of that size): the bytes read.
async function readPiece(reader, into, size, own) {
  let filled = 0;
  let buffer = own.buffer;
  while (filled < size) {
    const { done, value } = await reader.read(new Uint8Array(buffer, 0, Math.min(buffer.byteLength, size - filled)));
    if (done) break;
    into.set(value, filled);
    filled += value.byteLength;
    buffer = value.buffer;
  }
  own.buffer = buffer;
  return filled;
}

self.onmessage = async (event) => {
  const { file, data, control, slots, size } = event.data;
  const bytes = new Uint8Array(data);
  const state = new Int32Array(control);
  const stopAt = 2 * slots;
  const own = { buffer: new ArrayBuffer(1 << 20) };
  let reader = null;
  try {
    reader = file.stream().getReader({ mode: 'byob' });
  } catch (e) {
    reader = null;
  }
  for (let slot = 0; ; slot = (slot + 1) % slots) {
    if (!(await waitUntilFree(state, 2 * slot, stopAt))) break;
    let length = -1;
    try {
      if (reader) length = await readPiece(reader, bytes.subarray(slot * size, (slot + 1) * size), size, own);
    } catch (e) {
      length = -1; // the check reads this slice itself and reports what went wrong
    }
    state[2 * slot + 1] = length;
    Atomics.store(state, 2 * slot, 1);
    Atomics.notify(state, 2 * slot);
    if (length < size) break;
  }
  if (reader) reader.cancel().catch(() => {});
};
