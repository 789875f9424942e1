#!/usr/bin/env python3
"""The dictionary builder on a small EDICT-like file made here."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

TOOLS = pathlib.Path(__file__).resolve().parents[2] / "tools"
sys.path.insert(0, str(TOOLS))
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


def kept(**verdicts):
    return [word for word, *_ in md.build(EDICT, **verdicts)[0]]


class MakeDictionary(unittest.TestCase):
    def test_one_spelling_per_idiom_kept_by_the_rule_or_a_verdict(self):
        keep, drop = {"前提条件", "温故知新", "無い語"}, {"不承不承", "一刻一刻"}
        by_rule, judged = kept(), kept(keep=keep, drop=drop)
        # 々 wins over its spelled-out twin, a regular spelling over an (iK)
        # one, the commoner kanji (模 over 摸), a listed spelling over a slip;
        # halves swapped are the same idiom, the first by reading kept. Same
        # glosses but other readings (一日千秋, 一日三秋) are two idioms.
        for kept_word, merged in [("戦々恐々", "戦戦恐恐"), ("意気衝天", "意気昇天"),
                                  ("暗中模索", "暗中摸索"), ("依怙贔屓", "依估贔屓"),
                                  ("花紅柳緑", "柳緑花紅"), ("一日千秋", None), ("一日三秋", None)]:
            self.assertIn(kept_word, by_rule)
            self.assertNotIn(merged, by_rule)
        self.assertEqual(len(set(map(md.spelled_out, by_rule))), len(by_rule))
        for word, rule, verdict in [
                ("前提条件", False, True),    # two common words, nothing more
                ("破廉恥漢", False, False),   # a three-kanji word and a suffix
                ("一刻一刻", False, False),   # a word said twice
                ("温故知新", True, True),     # halves that are no words alone
                ("不承不承", True, False)]:   # not quite twice: ふしょう, ぶしょう
            self.assertEqual((word in by_rule, word in judged), (rule, verdict), word)
        _, _, merged, unmatched = md.build(EDICT, keep=keep, drop=drop)
        self.assertEqual(merged, 5)
        # Verdicts the rule already agrees with, or on no idiom, are reported.
        self.assertEqual(unmatched, [("keep", "温故知新"), ("keep", "無い語"), ("drop", "一刻一刻")])

    def test_files_are_the_same_each_run_in_code_page_932_and_cr_lf(self):
        with tempfile.TemporaryDirectory() as tmp:
            tmp = pathlib.Path(tmp)
            (tmp / "edict").write_bytes(EDICT.encode("euc_jp"))
            (tmp / "keep").write_text("# comment\n破廉恥漢  # why\n\n", "utf-8")
            (tmp / "drop").write_text("", "utf-8")
            runs = []
            for _ in range(2):
                done = subprocess.run(
                    [sys.executable, TOOLS / "make_dictionary.py", "--source", tmp / "edict",
                     "--output", tmp / "d", "--readings", tmp / "r", "--keep", tmp / "keep",
                     "--drop", tmp / "drop"], capture_output=True, text=True, check=True)
                runs.append(((tmp / "d").read_bytes(), (tmp / "r").read_bytes()))
            self.assertEqual(runs[0], runs[1])
            self.assertIn("丂丂丂丂", done.stderr)
        words = runs[0][0].decode("cp932").split("\r\n")
        self.assertEqual(words.pop(), "")
        self.assertIn("破廉恥漢", words)
        self.assertNotIn(b"\r", runs[0][1])
        rows = [line.split("\t") for line in runs[0][1].decode("utf-8").split("\n")[:-1]]
        self.assertEqual([r[0] for r in rows], words)
        self.assertEqual([r[1] for r in rows], sorted(r[1] for r in rows))
        # The first gloss, without the codes before it, even numbered ones.
        self.assertIn(["余韻嫋々", "よいんじょうじょう", "(sound) lingering in the air"], rows)
        self.assertEqual(md.first_gloss("(n,vs) (1) (yoji) extension/(n) (2) era/(P)/"), "extension")

if __name__ == "__main__":
    unittest.main()
