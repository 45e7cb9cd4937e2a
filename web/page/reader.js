// Reads a File ahead of the check, slice after slice, into a ring of shared slots, so that
// the browser's reading (slow per call) and the check run side by side on two cores.
//
// Ring: `slots` slots of `size` bytes in `data`; `control` holds per slot its state
// (0: free, 1: filled) and the length filled, then one word that tells the reader to
// stop. The last slot filled is shorter than `size` (it may be empty): the file ends there.
'use strict';

self.postMessage('ready');

self.onmessage = (event) => {
  const { file, data, control, slots, size } = event.data;
  const bytes = new Uint8Array(data);
  const state = new Int32Array(control);
  const stopAt = 2 * slots;
  const reader = new FileReaderSync();
  let position = 0;
  let slot = 0;
  for (;;) {
    // Wait until the check has taken the slot's last contents.
    while (Atomics.load(state, 2 * slot) !== 0) {
      if (Atomics.load(state, stopAt) !== 0) return self.close();
      Atomics.wait(state, 2 * slot, 1, 1000);
    }
    if (Atomics.load(state, stopAt) !== 0) return self.close();
    let piece;
    try {
      piece = new Uint8Array(reader.readAsArrayBuffer(file.slice(position, position + size)));
    } catch (e) {
      piece = null; // the check reads this slice itself and reports the failure
    }
    const length = piece ? piece.length : -1;
    if (piece) bytes.set(piece, slot * size);
    state[2 * slot + 1] = length;
    Atomics.store(state, 2 * slot, 1);
    Atomics.notify(state, 2 * slot);
    if (length < size) return self.close();
    position += length;
    slot = (slot + 1) % slots;
  }
};
