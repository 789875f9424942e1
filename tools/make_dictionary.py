#!/usr/bin/env python3
"""Build data/辞書.txt and data/読みと意味.txt from the EDICT file of Debian's edict package.

EDICT tags a few thousand four-kanji words (yoji), but many of them are
ordinary compound nouns (前提条件, 延長保育), and one idiom often stands on
several lines, once per spelling and reading (戦々恐々, 戦戦恐恐). This script
joins the lines of each idiom, keeps one spelling of it, keeps the words that
show the marks of an idiom (see is_idiom) unless a maintainer's verdict in
tools/dictionary_keep.txt or tools/dictionary_drop.txt overrules it, and writes

- 辞書.txt: one idiom a line, code page 932, CR LF;
- 読みと意味.txt: idiom, reading and first English gloss, tab-separated,
  UTF-8 without BOM, LF.

Both are sorted by reading. The output depends only on the input file and the
two lists, so running the script again gives the same bytes. --list prints
every idiom with the rule's and the final choice, for reviewing the lists.
"""

import argparse
import collections
import pathlib
import re
import sys

DEFAULT_SOURCE = "/usr/share/edict/edict"
TOOLS = pathlib.Path(__file__).resolve().parent
DATA = TOOLS.parent / "data"

ITERATION_MARK = "\u3005"  # 々

# A tag may stand alone, (yoji), or share its parentheses with others, (n,yoji).
YOJI_TAG = re.compile(r"\((?:[^()/]*,)?yoji(?:,[^()/]*)?\)")
# edict2 appends markers such as (P) or (iK) to a headword or reading.
MARKERS = re.compile(r"\([^()]*\)")
# EDICT's own codes; a gloss may itself start with words in parentheses,
# "(coming to a) mutual understanding", which are not tags.
CODES = set("""n n-adv n-t n-suf n-pref adj-na adj-no adj-t adj-f adj-i adj-pn
    adv adv-to vs vs-s vk exp int pn pref suf conj ctr aux yoji id proverb
    uk arch obsc sens col hon hum pol vulg derog joc abbr male fem
    ateji iK ik oK ok io rK gikun Buddh sumo shogi P""".split()) | {str(n) for n in range(1, 30)}
LEADING_TAG = re.compile(r"^\(([^()]*)\)\s*")
# Spellings EDICT marks as irregular, out of date, or phonetic substitutes.
IRREGULAR = {"iK", "ik", "oK", "ok", "io", "rK", "ateji", "gikun"}
# Tags of sayings, and parts of speech of words that describe; a plain naming
# noun has none of them.
SAYING_TAGS = {"exp", "id", "proverb"}
DESCRIBING_TAGS = {"adj-na", "adj-t", "adv-to", "adv"}


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


def is_all_kanji(word):
    return bool(word) and is_ideograph(word[0]) and all(
        is_ideograph(ch) or ch == ITERATION_MARK for ch in word[1:])


def spelled_out(word):
    """The word with each 々 replaced by the kanji it repeats."""
    out = []
    for ch in word:
        out.append(out[-1] if ch == ITERATION_MARK and out else ch)
    return "".join(out)


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


def tags(glosses):
    """Every EDICT code in a gloss field: parts of speech, fields, markers."""
    found = set()
    for group in re.findall(r"\(([^()]*)\)", glosses):
        parts = [p.strip() for p in group.split(",")]
        if all(p in CODES for p in parts):
            found.update(parts)
    return found


def first_gloss(glosses):
    """The first English gloss, without the codes in front of it."""
    first = glosses.strip("/").split("/")[0].strip()
    while True:
        m = LEADING_TAG.match(first)
        if not m or not all(p in CODES for p in m.group(1).split(",")):
            return first
        first = first[m.end():]


def gloss_key(glosses):
    """Glosses with the per-spelling markers taken out: the same for each line of one entry."""
    glosses = re.sub(r"/\(P\)/$", "/", glosses)
    return re.sub(r"^\((?:%s)\)\s*" % "|".join(IRREGULAR), "", glosses)


class Lexicon:
    """What the whole file says about words: which exist, which are common,
    and how many longer words start or end with a given pair of kanji."""

    def __init__(self, lines):
        self.words = set()
        self.common = set()
        self.kanji_use = collections.Counter()
        starts = collections.Counter()
        ends = collections.Counter()
        ends_plain = collections.Counter()
        for words, _, glosses in lines:
            yoji = bool(YOJI_TAG.search(glosses))
            for word in words:
                if word in self.words:
                    if glosses.endswith("/(P)/"):
                        self.common.add(word)
                    continue
                self.words.add(word)
                if glosses.endswith("/(P)/"):
                    self.common.add(word)
                self.kanji_use.update(set(word))
                if len(word) >= 3 and is_all_kanji(word):
                    full = spelled_out(word)
                    starts[full[:2]] += 1
                    ends[full[-2:]] += 1
                    if not yoji:
                        ends_plain[full[-2:]] += 1
        self.starts, self.ends, self.ends_plain = starts, ends, ends_plain


def is_idiom(word, reading, entry_tags, lex):
    """Whether a four-kanji word shows the marks of an idiom rather than of a
    compound noun, in which a common word is put in front of another (前提+条件).

    A word that parts into a word of three kanji and one more, and not into
    two words of two, is a compound (破廉恥+漢, 大+風呂敷), and a word said
    twice is no idiom (一刻一刻, its reading twice いっこく; but 不承不承,
    ふしょうぶしょう, is one). Otherwise any one of these is enough:
    - repetition: 一期一会, 自業自得 (first and third kanji alike), 戦々恐々;
    - tagged as a saying (exp, id, proverb);
    - used as an adjective or adverb (adj-na, adj-t, adv-to, adv) while its
      second half ends few words not tagged yoji (不足, 気味, 上手 make
      adjectives of any noun);
    - its halves are not words of their own (温故知新: neither 温故 nor 知新),
      and the second half ends few other words;
    - both halves are rare as parts of longer words (at most five words start
      with the first or end with the second, itself included) and neither is
      a common word (P).
    """
    full = spelled_out(word)
    a, b, c, d = full
    head, tail = full[:2], full[2:]
    words = lex.words

    pairs = head in words and tail in words
    if not pairs and (full[:3] in words or full[1:] in words):
        return False
    half = len(reading) // 2
    if head == tail and head in words and reading == reading[:half] * 2:
        return False
    if a == c or (a == b and c == d) or word[1] == ITERATION_MARK or word[3] == ITERATION_MARK:
        return True
    if entry_tags & SAYING_TAGS:
        return True
    if entry_tags & DESCRIBING_TAGS and lex.ends_plain[tail] <= 4:
        return True
    if not pairs and lex.ends[tail] <= 3:
        return True
    return (lex.starts[head] + lex.ends[tail] <= 5
            and head not in lex.common and tail not in lex.common)


def entries(lines):
    """Group the tagged four-kanji lines into idioms.

    Lines of one EDICT entry share their glosses and readings; a spelling
    found in two groups, or the same once 々 is spelled out, joins them, and
    so do the same glosses on the same kanji in another order (花紅柳緑,
    柳緑花紅)."""
    parent = {}

    def find(x):
        while parent.setdefault(x, x) != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    def join(x, y):
        parent[find(x)] = find(y)

    found = []
    for words, reading, glosses in lines:
        if not YOJI_TAG.search(glosses):
            continue
        for word in words:
            if is_four_kanji(word):
                n = len(found)
                found.append((word, reading, glosses))
                key, full = gloss_key(glosses), spelled_out(word)
                join(("line", n), ("entry", key, reading))
                join(("line", n), ("word", full))
                join(("line", n), ("kanji", key, "".join(sorted(full))))
    groups = collections.defaultdict(list)
    for n, line in enumerate(found):
        groups[find(("line", n))].append(line)
    return list(groups.values())


# EDICT lists the spellings of an entry on lines of their own, so which one
# the entry puts first is lost; for these the rule in choose() would keep a
# variant, a slip or the rarer order (依估贔屓, 二足三文, 転生輪廻) over the
# form dictionaries give.
PREFERRED = {"依怙贔屓", "一視同仁", "二束三文", "合縁奇縁", "不承不承",
             "廃仏毀釈", "非難囂々", "百花繚乱", "悠々閑々", "切磋琢磨",
             "輪廻転生", "矛盾撞着"}


def choose(group, lex):
    """The spelling kept for an idiom: one of PREFERRED, else a regular one
    (no iK, oK, ateji...), then a common one (P), then the one whose rarest
    kanji is used most in EDICT (模 over 摸), then the one with 々, then the
    first by reading and code point. Returns (word, reading, glosses) of its
    first line."""
    def rank(line):
        word, reading, glosses = line
        marks = tags(glosses.split("/", 1)[0] + "/")
        rarest = min(lex.kanji_use[ch] for ch in spelled_out(word))
        return (word not in PREFERRED, bool(marks & IRREGULAR),
                not glosses.endswith("/(P)/"), -rarest,
                ITERATION_MARK not in word, reading, word)
    best = min(group, key=rank)
    return next(line for line in group if line[0] == best[0])


def read_verdicts(path):
    """The idioms listed in a verdict file: one a line, # starts a comment."""
    words = set()
    for line in pathlib.Path(path).read_text("utf-8").splitlines():
        line = line.split("#", 1)[0].strip()
        if line:
            words.add(line)
    return words


def build(text, keep=frozenset(), drop=frozenset()):
    """(idioms kept, idioms left out, spellings merged, unmatched verdicts)
    from EDICT text.

    The rule of is_idiom decides first; an idiom in keep is kept and one in
    drop left out whatever it decided. A verdict that names no idiom of the
    file, or one the rule already decided that way, is returned unmatched so
    the lists can be pruned after an update of EDICT. Each list item is
    (word, reading, glosses, by_rule), by_rule telling what is_idiom said."""
    lines = [p for p in map(parse_line, text.splitlines()) if p is not None]
    lex = Lexicon(lines)
    kept, dropped, merged, unmatched = [], [], 0, []
    for group in entries(lines):
        word, reading, glosses = choose(group, lex)
        merged += len({w for w, _, _ in group}) - 1
        entry_tags = set().union(*(tags(g) for _, _, g in group))
        by_rule = is_idiom(word, reading, entry_tags, lex)
        idiom = (by_rule or word in keep) and word not in drop
        (kept if idiom else dropped).append((word, reading, glosses, by_rule))
    kept.sort(key=lambda item: (item[1], item[0]))
    dropped.sort(key=lambda item: (item[1], item[0]))
    decided = {item[0]: item[3] for item in kept + dropped}
    for name, words, needs in (("keep", keep, False), ("drop", drop, True)):
        for word in sorted(words):
            if decided.get(word) is not needs:
                unmatched.append((name, word))
    return kept, dropped, merged, unmatched


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE,
                        help="EDICT file in EUC-JP (default: %(default)s)")
    parser.add_argument("--output", default=str(DATA / "辞書.txt"),
                        help="dictionary file to write (default: data/辞書.txt)")
    parser.add_argument("--readings", default=str(DATA / "読みと意味.txt"),
                        help="readings and meanings file to write (default: data/読みと意味.txt)")
    parser.add_argument("--keep", default=str(TOOLS / "dictionary_keep.txt"),
                        help="idioms to keep that the rule leaves out (default: tools/dictionary_keep.txt)")
    parser.add_argument("--drop", default=str(TOOLS / "dictionary_drop.txt"),
                        help="words to leave out that the rule keeps (default: tools/dictionary_drop.txt)")
    parser.add_argument("--list", action="store_true",
                        help="print every idiom with the rule's and the final choice instead of writing")
    args = parser.parse_args()

    text = pathlib.Path(args.source).read_bytes().decode("euc_jp")
    kept, dropped, merged, unmatched = build(
        text, read_verdicts(args.keep), read_verdicts(args.drop))
    for name, word in unmatched:
        wanted = "leaves out" if name == "keep" else "keeps"
        print(f"{name} list: {word} is not an idiom the rule {wanted}", file=sys.stderr)

    if args.list:
        # rule / final: + kept, - left out; one tab-separated line per idiom
        for final, items in (("+", kept), ("-", dropped)):
            for word, reading, glosses, by_rule in items:
                rule = "+" if by_rule else "-"
                print(f"{rule}{final}\t{word}\t{reading}\t{first_gloss(glosses)}")
        return

    dictionary, readings = [], []
    for word, reading, glosses, _ in kept:
        try:
            dictionary.append(word.encode("cp932") + b"\r\n")
        except UnicodeEncodeError:
            print(f"skipped, not in code page 932: {word} [{reading}]", file=sys.stderr)
            continue
        readings.append(f"{word}\t{reading}\t{first_gloss(glosses)}\n")

    pathlib.Path(args.output).write_bytes(b"".join(dictionary))
    pathlib.Path(args.readings).write_bytes("".join(readings).encode("utf-8"))
    rescued = sum(not by_rule for *_, by_rule in kept)
    overruled = sum(by_rule for *_, by_rule in dropped)
    print(f"{len(dictionary)} idioms written to {args.output} and {args.readings}"
          f" ({merged} other spellings merged; the rule kept {len(kept) - rescued + overruled},"
          f" the lists keep {rescued} more and leave out {overruled};"
          f" {len(dropped)} words left out)")


if __name__ == "__main__":
    main()
