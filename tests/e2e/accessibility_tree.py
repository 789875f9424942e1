"""Reads the running program's accessibility tree over AT-SPI while a game is
played with xdotool: every control is named and described in Japanese, the
cells say their character or that they are hidden, the statistics and the
time left carry their values, and both are keyboard stops.

Run by test_accessibility.sh with the X server's window id as argument; the
program plays "一石二鳥" in 3:ハード for 10 seconds."""

import subprocess
import sys
import time

import pyatspi

IDIOM = "一石二鳥"
WID = sys.argv[1]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, file=sys.stderr)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)
    time.sleep(0.3)


def click(x, y):
    xdotool("mousemove", "--window", WID, str(x), str(y), "click", "1")


def find_app():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "sumiraku" and app.childCount:
                return app
        time.sleep(0.1)
    sys.exit("FAIL: the program is not on the accessibility bus")


def nodes(node):
    """The controls: lists, combo boxes and the grid count as one each."""
    yield node
    if node.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TABLE):
        return
    for i in range(node.childCount):
        yield from nodes(node.getChildAtIndex(i))


APP = find_app()


def tree():
    APP.clearCache()   # names change with the game; read them afresh
    return list(nodes(APP.getChildAtIndex(0)))


def by_name(name, role=None):
    found = [n for n in tree() if n.name == name and (role is None or n.getRole() == role)]
    check(len(found) == 1, f"{len(found)} nodes named {name!r}")
    return found[0] if found else None


def labelled_by(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return []


def cell_names():
    return sorted(n.name for n in tree() if n.name.startswith("問題 "))


def focused():
    return [n.name for n in tree() if n.getState().contains(pyatspi.STATE_FOCUSED)]


def time_left():
    bar = by_name("残り時間", pyatspi.ROLE_PROGRESS_BAR)
    value = bar.queryValue()
    return value.currentValue, value.maximumValue


# Every control, at rest.
for node in tree():
    check(node.name and node.description,
          f"{node.getRoleName()} {node.name!r} lacks a name or a description")

for name, description in [
    ("スタート", "ゲームをスタートします"),
    ("保存", "データを保存します"),
    ("クリア", "履歴データをクリアします"),
    ("ヘルプ", "ヘルプファイルを開きます"),
    ("終了", "プログラムを終了します"),
    ("自動保存", "履歴の自動保存を制御します"),
    ("問題", "クリックすると元の文字がわかります"),
]:
    node = by_name(name)
    check(node and node.description == description, f"{name!r} described as {node and node.description!r}")

# On Linux a combo box is named by its text and labelled by its caption.
for caption, role in [("プレイ秒数", pyatspi.ROLE_COMBO_BOX), ("プレイモード", pyatspi.ROLE_COMBO_BOX),
                      ("解答", pyatspi.ROLE_TEXT)]:
    boxes = [n for n in tree() if n.getRole() == role and labelled_by(n) == [caption]]
    check(len(boxes) == 1, f"no {role} labelled {caption!r}")

check(cell_names() == [f"問題 {i}: 隠れています" for i in range(1, 5)], f"closed cells read {cell_names()}")
check(time_left() == (10, 10), f"time left at rest {time_left()}")

# The statistics and the time left come after the designed focus order.
click(95, 130)       # the play-time box, the last designed stop
xdotool("key", "Tab")
check(focused() == ["成績"], f"Tab from the play time reaches {focused()}")
xdotool("key", "Tab")
check(focused() == ["残り時間"], f"the next Tab reaches {focused()}")

# A game: three cells close, the one left open says its character.
click(373, 40)
time.sleep(4)   # the countdown ends at most 3 s after the click
names = cell_names()
open_cells = [n for n in names if not n.endswith("隠れています")]
check(len(open_cells) == 1 and open_cells[0] in [f"問題 {i}: {IDIOM[i - 1]}" for i in range(1, 5)],
      f"cells in play read {names}")
check("解答" in focused(), f"focus in play on {focused()}")
seconds, most = time_left()
check(1 <= seconds <= 10 and most == 10, f"time left in play {seconds} of {most}")

# Esc reveals every character.
xdotool("key", "Escape")
check(cell_names() == [f"問題 {i}: {IDIOM[i - 1]}" for i in range(1, 5)], f"after Esc the cells read {cell_names()}")

xdotool("type", "--delay", "150", IDIOM)   # kanji come through a remapped key: slowly
xdotool("key", "Return")
by_name("正解数: 1")
by_name("不正解数: 0")
stats = by_name("成績")
check(stats and "正解数: 1、不正解数: 0" in stats.description, f"statistics read {stats and stats.description!r}")

# The end of the game: the final figures and no time left.
time.sleep(9)
for name in ["正解数: 1", "入力文字数: 4", "正解率: 100.0%", "秒当たり入力文字数: 0.40/秒"]:
    by_name(name)
check(time_left() == (0, 10), f"time left after the game {time_left()}")

if failures:
    sys.exit(1)
print("accessibility tree: every control named and described; cells, statistics and time left follow the game")
