#!/usr/bin/env python3
"""Writes the largest data files the program accepts into a folder:
a dictionary of 32,767 four-kanji entries (one more is an overflow) and a
history of 32,766 records (the 16-bit record counter overflows at the next),
with the bundled settings. Code page 932, CR LF, the same bytes every run.

Usage: make_largest.py DATA_DIR OUT_DIR
"""

import pathlib
import shutil
import sys

DICTIONARY_ENTRIES = 32767
HISTORY_RECORDS = 32766


def idioms(bundled):
    """The bundled idioms, then new ones spliced from their halves, all distinct."""
    seen = set()
    out = []
    for entry in bundled:
        if len(entry) == 4 and entry not in seen:
            seen.add(entry)
            out.append(entry)
    heads = [e[:2] for e in out]
    tails = [e[2:] for e in out]
    step = 1
    while len(out) < DICTIONARY_ENTRIES:
        for i, head in enumerate(heads):
            entry = head + tails[(i + step) % len(tails)]
            if entry not in seen:
                seen.add(entry)
                out.append(entry)
                if len(out) == DICTIONARY_ENTRIES:
                    break
        step += 1
    return out


def history():
    """Records as the program writes them, with varied dates, counts and modes."""
    modes = "123RS0"
    lengths = range(10, 190, 10)
    for n in range(HISTORY_RECORDS):
        day = n % 28 + 1
        month = n // 28 % 12 + 1
        year = 2000 + n // (28 * 12)
        ok = n % 97
        ng = n % 13
        questions = ok + ng
        length = lengths[n % len(lengths)]
        rate = f"{ok / questions * 100:.1f}%" if questions else "0.0%"
        per_second = f"{ok * 4 / length:.2f}/秒"
        yield (f'"{year:04d}/{month:02d}/{day:02d}","{n // 60 % 24:02d}:{n % 60:02d}:{n * 7 % 60:02d}",'
               f'{questions},{ok},{ng},"{rate}","{per_second}","{length}秒","{modes[n % len(modes)]}"')


def write_lines(path, lines):
    path.write_bytes("".join(line + "\r\n" for line in lines).encode("cp932"))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = pathlib.Path(sys.argv[1])
    out = pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    bundled = data.joinpath("辞書.txt").read_bytes().decode("cp932").split("\r\n")
    write_lines(out / "辞書.txt", idioms(bundled))
    write_lines(out / "履歴.txt", history())
    shutil.copyfile(data / "設定.txt", out / "設定.txt")


if __name__ == "__main__":
    main()
