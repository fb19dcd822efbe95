#!/usr/bin/env python3
"""Fills a folder with COUNT files of every kind the viewer opens, made from the built
samples: whole copies, copies cut short at half and at 64 bytes, copies with their header
overwritten, and random bytes under the kind's extension. Deterministic for a given count.
Usage: make_mixed_folder.py SAMPLES_DIR FOLDER [COUNT [KINDS]]
KINDS, comma-separated extensions (e.g. "avi,mod"), keeps only those kinds: a run over one kind
shows what that kind costs."""
import os
import random
import sys

KINDS = ["sunset.bmp", "palette8.bmp", "small.gif", "harbour.jpg", "app.ico", "pointer.cur",
         "scan.dib", "drawing.wmf", "chart.emf", "chime.wav", "tune.mod", "clip.avi",
         "readme.txt"]


def variant(data, n, rng):
    kind = n % 5
    if kind == 0:
        return "whole", data
    if kind == 1:
        return "half", data[: len(data) // 2]
    if kind == 2:
        return "cut", data[:64]
    if kind == 3:
        head = bytes(rng.getrandbits(8) for _ in range(min(48, len(data))))
        return "header", data[:4] + head + data[4 + len(head):]
    return "noise", bytes(rng.getrandbits(8) for _ in range(min(len(data), 4096)))


def main():
    samples, folder = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    os.makedirs(folder, exist_ok=True)
    kinds = KINDS
    if len(sys.argv) > 4 and sys.argv[4]:
        wanted = sys.argv[4].split(",")
        kinds = [k for k in KINDS if os.path.splitext(k)[1][1:] in wanted]
    rng = random.Random(1000)
    sources = {k: open(os.path.join(samples, k), "rb").read() for k in kinds}
    for i in range(count):
        name = kinds[i % len(kinds)]
        label, data = variant(sources[name], i // len(kinds), rng)
        stem, ext = os.path.splitext(name)
        with open(os.path.join(folder, "%04d-%s-%s%s" % (i, stem, label, ext)), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
