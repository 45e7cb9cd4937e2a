#!/usr/bin/env python3
"""Writes damaged copies of ELDANORM files for tools/equiv/run.sh.

    mutate.py [--first K] OUTDIR COUNT SOURCE...

Writes OUTDIR/mut-K.dat .. OUTDIR/mut-(K+COUNT-1).dat and prints one line per file:
its name, the source it was made from and the changes. File number n depends only on
n and the list of sources: random.Random(n) picks the source among the sources in
sorted order and then one to four changes, so `--first n COUNT=1` writes the same file
again on its own.

The changes are the bytes a reader has to survive: CR, LF, the end mark 26, NUL,
bytes above 127 and the field separators of version 2000, put over a byte, inserted,
or bytes deleted; now and then the file is cut short. A third of the changes land in
the first 300 bytes (the header) and a fifth in the last 300 (the end mark).
"""

import os
import random
import sys

# Bytes that mean something to the readers, and the separators a 2000 header may name
# together with one it may not.
SPECIAL = [0x0D, 0x0A, 0x1A, 0x00]
SEPARATORS = [ord(c) for c in ";|#$*+@_,"] + [0x7F]


def pick_byte(rng):
    kind = rng.random()
    if kind < 0.40:
        return rng.choice(SPECIAL)
    if kind < 0.60:
        return rng.randrange(0x80, 0x100)
    if kind < 0.80:
        return rng.choice(SEPARATORS)
    return rng.randrange(0x00, 0x100)


def pick_position(rng, size):
    """A position in 0..size-1 (0 for an empty file)."""
    if size <= 1:
        return 0
    where = rng.random()
    if where < 0.33:
        return rng.randrange(0, min(size, 300))
    if where < 0.53:
        return rng.randrange(max(0, size - 300), size)
    return rng.randrange(0, size)


def mutate(data, rng):
    """Applies one to four changes to data (a bytearray); returns their descriptions."""
    done = []
    for _ in range(rng.randint(1, 4)):
        op = rng.random()
        at = pick_position(rng, len(data))
        if op < 0.35 and data:
            b = pick_byte(rng)
            done.append(f"setze@{at}={b:#04x}")
            data[at] = b
        elif op < 0.45 and data:
            bit = rng.randrange(8)
            done.append(f"kippe@{at}.bit{bit}")
            data[at] ^= 1 << bit
        elif op < 0.75:
            if rng.random() < 0.15:
                ins = b"\r\n"
            else:
                ins = bytes([pick_byte(rng)])
            done.append(f"einfuege@{at}={ins.hex()}")
            data[at:at] = ins
        elif op < 0.96 and data:
            n = rng.randint(1, 3)
            done.append(f"loesche@{at}+{n}")
            del data[at:at + n]
        elif data:
            done.append(f"kuerze@{at}")
            del data[at:]
    return done


def main(argv):
    args = argv[1:]
    first = 1
    if len(args) >= 2 and args[0] == "--first":
        first = int(args[1])
        args = args[2:]
    if len(args) < 3:
        sys.stderr.write(__doc__)
        return 2
    outdir, count, sources = args[0], int(args[1]), sorted(args[2:])
    os.makedirs(outdir, exist_ok=True)
    for n in range(first, first + count):
        rng = random.Random(n)
        source = rng.choice(sources)
        with open(source, "rb") as f:
            data = bytearray(f.read())
        changes = mutate(data, rng)
        name = f"mut-{n:04d}.dat"
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
        print(f"{name} {os.path.basename(source)} {' '.join(changes)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
