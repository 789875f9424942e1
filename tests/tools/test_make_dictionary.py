#!/usr/bin/env python3
"""The dictionary builder on a small EDICT-like file made here."""

import contextlib
import io
import pathlib
import sys
import tempfile
import unittest
import unittest.mock

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tools"))
import make_dictionary as md  # noqa: E402

EDICT = """\
前提 [ぜんてい] /(n) premise/prerequisite/(P)/
条件 [じょうけん] /(n) condition/(P)/
前提条件 [ぜんていじょうけん] /(n) (yoji) precondition/prerequisite/
破廉恥 [はれんち] /(adj-na,n) shameless/(P)/
破廉恥漢 [はれんちかん] /(n) (yoji) shameless man/
温故知新 [おんこちしん] /(n) (yoji) learning from the past/
一刻 [いっこく] /(n) moment/(P)/
一刻一刻 [いっこくいっこく] /(adv) (yoji) moment by moment/
不承 [ふしょう] /(n) dissent/
不承不承 [ふしょうぶしょう] /(adv) (yoji) reluctantly/
戦々恐々 [せんせんきょうきょう] /(adj-t,adv-to) (yoji) trembling with fear/
戦戦恐恐 [せんせんきょうきょう] /(adj-t,adv-to) (yoji) trembling with fear/
暗中模索 [あんちゅうもさく] /(n,vs) (yoji) groping in the dark/
暗中摸索 [あんちゅうもさく] /(n,vs) (yoji) groping in the dark/
模様 [もよう] /(n) pattern/
模型 [もけい] /(n) model/
意気昇天 [いきしょうてん] /(iK) (exp) (yoji) in high spirits/
意気衝天 [いきしょうてん] /(exp) (yoji) in high spirits/
依估贔屓 [えこひいき] /(adj-na,n) (yoji) favoritism/
依怙贔屓 [えこひいき] /(adj-na,n) (yoji) favoritism/
一日千秋 [いちじつせんしゅう] /(exp) (yoji) waiting impatiently/
一日三秋 [いちじつさんしゅう] /(exp) (yoji) waiting impatiently/
柳緑花紅 [りゅうりょくかこう] /(n) (yoji) red blossoms and green willows/
花紅柳緑 [かこうりゅうりょく] /(n) (yoji) red blossoms and green willows/
余韻嫋々 [よいんじょうじょう] /(adj-t,adv-to) (arch) (yoji) (sound) lingering in the air/
丂丂丂丂 [こうこうこうこう] /(exp) (yoji) a headword code page 932 lacks/
"""


def kept_words(text=EDICT):
    return [word for word, *_ in md.build(text)[0]]


class Selection(unittest.TestCase):
    def test_one_spelling_per_idiom(self):
        words = kept_words()
        # 々 wins over its spelled-out twin, a regular spelling over an (iK)
        # one, the commoner kanji (模 over 摸), a listed spelling over a slip;
        # halves swapped are the same idiom, the first by reading kept.
        for kept, merged in [("戦々恐々", "戦戦恐恐"), ("意気衝天", "意気昇天"),
                             ("暗中模索", "暗中摸索"), ("依怙贔屓", "依估贔屓"),
                             ("花紅柳緑", "柳緑花紅")]:
            self.assertIn(kept, words)
            self.assertNotIn(merged, words)
        # Same glosses but other readings: two idioms, not spellings of one.
        self.assertIn("一日千秋", words)
        self.assertIn("一日三秋", words)
        self.assertEqual(len(set(map(md.spelled_out, words))), len(words))

    def test_compounds_left_out(self):
        kept, dropped, merged, unmatched = md.build(EDICT)
        words = [w for w, *_ in kept]
        self.assertNotIn("前提条件", words)   # two common words, nothing more
        self.assertNotIn("破廉恥漢", words)   # a three-kanji word and a suffix
        self.assertIn("温故知新", words)      # halves that are no words alone
        self.assertNotIn("一刻一刻", words)   # a word said twice
        self.assertIn("不承不承", words)      # not quite: ふしょう, ぶしょう
        self.assertEqual({w for w, *_ in dropped}, {"前提条件", "破廉恥漢", "一刻一刻"})
        self.assertEqual(merged, 5)

    def test_verdicts_overrule_the_rule(self):
        kept, dropped, _, unmatched = md.build(
            EDICT, keep={"前提条件", "温故知新", "無い語"}, drop={"不承不承", "一刻一刻"})
        self.assertIn(("前提条件", "ぜんていじょうけん"), [(w, r) for w, r, *_ in kept])
        self.assertIn("不承不承", [w for w, *_ in dropped])
        # Verdicts the rule already agrees with, or on no idiom, are reported.
        self.assertEqual(unmatched, [("keep", "温故知新"), ("keep", "無い語"),
                                     ("drop", "一刻一刻")])


class Glosses(unittest.TestCase):
    def test_codes_go_and_gloss_text_stays(self):
        self.assertEqual(md.first_gloss("(adj-t,adv-to) (arch) (yoji) (sound) lingering/x/"),
                         "(sound) lingering")
        self.assertEqual(md.first_gloss("(n,vs) (1) (yoji) extension/(n) (2) era/(P)/"),
                         "extension")
        self.assertEqual(md.first_gloss("(n) (yoji) (coming to a) mutual understanding/"),
                         "(coming to a) mutual understanding")


class Files(unittest.TestCase):
    def test_written_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            tmp = pathlib.Path(tmp)
            source = tmp / "edict"
            source.write_bytes(EDICT.encode("euc_jp"))
            dictionary, readings = tmp / "d.txt", tmp / "r.txt"
            keep, drop = tmp / "keep.txt", tmp / "drop.txt"
            keep.write_text("# comment\n破廉恥漢  # why\n\n", "utf-8")
            drop.write_text("", "utf-8")
            argv = ["make_dictionary.py", "--source", str(source),
                    "--output", str(dictionary), "--readings", str(readings),
                    "--keep", str(keep), "--drop", str(drop)]
            err = io.StringIO()
            with unittest.mock.patch.object(sys, "argv", argv), \
                    contextlib.redirect_stderr(err), contextlib.redirect_stdout(io.StringIO()):
                md.main()
            self.assertIn("丂丂丂丂", err.getvalue())
            words = dictionary.read_bytes().decode("cp932").split("\r\n")
            self.assertEqual(words.pop(), "")
            self.assertIn("破廉恥漢", words)
            rows = [line.split("\t") for line in readings.read_text("utf-8").split("\n")[:-1]]
            self.assertEqual([r[0] for r in rows], words)
            self.assertEqual([r[1] for r in rows], sorted(r[1] for r in rows))
            self.assertIn(["余韻嫋々", "よいんじょうじょう", "(sound) lingering in the air"], rows)
            self.assertNotIn(b"\r", readings.read_bytes())


if __name__ == "__main__":
    unittest.main()
