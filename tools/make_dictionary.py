#!/usr/bin/env python3
"""Build data/辞書.txt from the EDICT dictionary installed by Debian's edict package.

Takes every headword of an entry tagged (yoji) that consists of exactly four
kanji, drops duplicates and headwords that code page 932 cannot hold, sorts
them by reading and writes one per line in CP932 with CR LF.

The output depends only on the input file, so running the script again on the
same package version gives the same bytes.
"""

import argparse
import pathlib
import re
import sys

DEFAULT_SOURCE = "/usr/share/edict/edict"
DEFAULT_OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "data" / "辞書.txt"

ITERATION_MARK = "\u3005"  # 々

# A tag may stand alone, (yoji), or share its parentheses with others, (n,yoji).
YOJI_TAG = re.compile(r"\((?:[^()/]*,)?yoji(?:,[^()/]*)?\)")
# edict2 appends markers such as (P) or (iK) to a headword or reading.
MARKERS = re.compile(r"\([^()]*\)")


def is_ideograph(ch):
    cp = ord(ch)
    return (0x4E00 <= cp <= 0x9FFF      # CJK Unified Ideographs
            or 0x3400 <= cp <= 0x4DBF   # extension A
            or 0xF900 <= cp <= 0xFAFF   # compatibility ideographs
            or 0x20000 <= cp <= 0x3FFFF)  # extensions B and later


def is_four_kanji(word):
    # 々 repeats the kanji before it and is written that way in idioms such as
    # 正々堂々, so it takes a kanji's place, but never the first one.
    if len(word) != 4 or not is_ideograph(word[0]):
        return False
    return all(is_ideograph(ch) or ch == ITERATION_MARK for ch in word[1:])


def split_field(field):
    """Alternatives of an edict2 headword or reading field, markers removed."""
    return [MARKERS.sub("", part).strip() for part in field.split(";") if part.strip()]


def parse_line(line):
    """(headwords, first reading, glosses) of one line, or None for a line without glosses."""
    head, sep, glosses = line.partition("/")
    if not sep:
        return None
    head = head.strip()
    reading = ""
    if head.endswith("]") and "[" in head:
        head, _, reading_field = head[:-1].partition("[")
        readings = split_field(reading_field)
        reading = readings[0] if readings else ""
    words = split_field(head)
    return words, (reading or (words[0] if words else "")), glosses


def collect(text):
    """Headword → reading of its first entry, for every tagged four-kanji headword."""
    found = {}
    for line in text.splitlines():
        parsed = parse_line(line)
        if parsed is None:
            continue
        words, reading, glosses = parsed
        if not YOJI_TAG.search(glosses):
            continue
        for word in words:
            if is_four_kanji(word) and word not in found:
                found[word] = reading
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE,
                        help="EDICT or EDICT2 file in EUC-JP (default: %(default)s)")
    parser.add_argument("--output", default=str(DEFAULT_OUTPUT),
                        help="dictionary file to write (default: data/辞書.txt)")
    args = parser.parse_args()

    text = pathlib.Path(args.source).read_bytes().decode("euc_jp")
    found = collect(text)

    lines = []
    for word, reading in sorted(found.items(), key=lambda item: (item[1], item[0])):
        try:
            lines.append(word.encode("cp932") + b"\r\n")
        except UnicodeEncodeError:
            print(f"skipped, not in code page 932: {word} [{reading}]", file=sys.stderr)

    pathlib.Path(args.output).write_bytes(b"".join(lines))
    print(f"{len(lines)} idioms written to {args.output}")


if __name__ == "__main__":
    main()
