#!/usr/bin/env python3
"""Runs every benchmark offscreen and under Xvfb and prints one Markdown table.

Usage: run.py BUILD_DIR DATA_DIR [--quick]
BUILD_DIR holds the built program and benchmarks; DATA_DIR the bundled data
files. Needs hyperfine, /usr/bin/time, Xvfb and xdotool; measures TIPP10 beside the
program where it is installed. --quick runs fewer rounds.
"""

import datetime
import json
import os
import pathlib
import platform
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

IDLE_SECONDS = 30
DATA_FILES = ("設定.txt", "辞書.txt", "履歴.txt")


def run(cmd, env, **kw):
    return subprocess.run(cmd, env=env, check=True, capture_output=True, text=True, **kw)


class Xvfb:
    """A private X server on a display number it picks itself."""

    def __enter__(self):
        read, write = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.display = ":" + f.readline().strip()
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait()


def startup(bench, folders, env, rounds, runs):
    """Median wall time, ms, of each start-up command; rounds alternate the commands."""
    commands = {
        "bare": [str(bench / "bench_bare_window")],
        "label": [str(bench / "bench_bare_window"), "--label"],
        "bundled": [str(bench / "bench_startup"), str(folders["bundled"])],
        "largest": [str(bench / "bench_startup"), str(folders["largest"])],
    }
    times = {name: [] for name in commands}
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "hyperfine.json"
        for _ in range(rounds):
            run(["hyperfine", "-N", "--style", "none", "--warmup", "3", "--runs", str(runs),
                 "--export-json", str(out)] + [shlex.join(c) for c in commands.values()], env)
            for name, result in zip(commands, json.loads(out.read_text())["results"]):
                times[name] += result["times"]
    return {name: statistics.median(t) * 1000 for name, t in times.items()}


def peak_rss(cmd, env, repeats=5):
    """Median of the peak resident set size, MB, over a few runs."""
    peaks = []
    for _ in range(repeats):
        r = run(["/usr/bin/time", "-f", "%M"] + cmd, env)
        peaks.append(int(r.stderr.strip().splitlines()[-1]) / 1024)
    return statistics.median(peaks)


def game(bench, folder, env):
    """name -> (samples, median, p99, max) in ms, from bench_game."""
    r = run([str(bench / "bench_game"), str(folder)], env)
    rows = {}
    for line in r.stdout.splitlines():
        name, n, median, p99, worst = line.split("\t")
        rows[name] = (int(n), float(median), float(p99), float(worst))
    return rows


def grid_fill(bench, env):
    """Milliseconds to fill the grid row by row, as bench_grid measures it,
    telling the view of each cell and with Redraw off."""
    fills = {}
    for way in ("append", "held"):
        r = run([str(bench / "bench_grid"), way], env)
        fills[way] = float(re.search(r"fill (\d+) ms", r.stdout).group(1))
    return fills


def cpu_ns(pid):
    """CPU time of every thread of a process, in ns."""
    total = 0
    for task in pathlib.Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except FileNotFoundError:
            pass
    return total


def cpu_to_idle(programs, env, settle=2.0, rounds=11):
    """name -> median CPU time, ms, of each program (command, env or a function
    that makes one, cwd) from its
    start until `settle` seconds after its first window is on screen (X only):
    what starting it costs, whatever it defers until after the first frame
    included. Rounds alternate the programs, so that a slower moment of the
    machine falls on all of them alike."""
    samples = {name: [] for name in programs}
    for _ in range(rounds):
        for name, (cmd, own_env, cwd) in programs.items():
            own_env = own_env() if callable(own_env) else own_env or env
            p = subprocess.Popen(cmd, cwd=cwd, env=own_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(p.pid)], own_env, timeout=60)
                time.sleep(settle)
                samples[name].append(cpu_ns(p.pid) / 1e6)
            finally:
                p.terminate()
                p.wait()
    return {name: statistics.median(s) for name, s in samples.items()}


def start_idle(program, folder, env):
    return subprocess.Popen([str(program)], cwd=folder, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def copy_folder(src, dst):
    dst.mkdir(parents=True)
    for name in DATA_FILES:
        shutil.copyfile(src / name, dst / name)
    return dst


def empty_folder(data, dst):
    """The bundled settings with an empty dictionary and history: the designed
    window with no data to show, what any start pays before reading a record."""
    dst.mkdir(parents=True)
    shutil.copyfile(data / DATA_FILES[0], dst / DATA_FILES[0])
    for name in DATA_FILES[1:]:
        (dst / name).write_bytes(b"")
    return dst


def machine():
    model = "unknown CPU"
    for line in pathlib.Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            model = line.split(":", 1)[1].strip()
            break
    return (f"{os.cpu_count()} cores, {model}, Linux {platform.release()}, "
            f"{datetime.date.today().isoformat()}")


def ratio(x, ref):
    return f"{x / ref:.2f}×"


def verdict(*ok):
    return "yes" if all(ok) else "**no**"


def table(m):
    """The Markdown table from the measurements of both platforms."""
    o, x = m["offscreen"], m["xcb"]
    lines = [
        "| Measure | Budget | offscreen | Xvfb | Met |",
        "| --- | --- | --- | --- | --- |",
    ]

    def row(measure, budget, a, b, met=""):
        lines.append(f"| {measure} | {budget} | {a} | {b} | {met} |")

    s_o, s_x = o["startup"], x["startup"]
    row("Bare Qt window, process start to first frame (reference)", "—",
        f"{s_o['bare']:.1f} ms", f"{s_x['bare']:.1f} ms")
    row("Bare window with one line of Japanese text (font floor)", "—",
        f"{ratio(s_o['label'], s_o['bare'])} ({s_o['label']:.1f} ms)",
        f"{ratio(s_x['label'], s_x['bare'])} ({s_x['label']:.1f} ms)")
    for name, text, budget in (("bundled", "bundled files", 1.3),
                               ("largest", "largest files (32,767 entries, 32,766 records)", 2.0)):
        row(f"Start-up, {text}", f"≤ {budget}× bare",
            f"{ratio(s_o[name], s_o['bare'])} ({s_o[name]:.1f} ms)",
            f"{ratio(s_x[name], s_x['bare'])} ({s_x[name]:.1f} ms)",
            verdict(s_o[name] <= budget * s_o["bare"], s_x[name] <= budget * s_x["bare"]))

    g_o, g_x = o["game"], x["game"]

    def game_row(measure, key, col, budget_text, limit):
        row(measure, budget_text, f"{g_o[key][col]:.2f} ms", f"{g_x[key][col]:.2f} ms",
            verdict(g_o[key][col] < limit, g_x[key][col] < limit))

    game_row(f"Answer path, median of {g_o['answer'][0]}, games of 100 "
             "(Enter → next idiom painted)",
             "answer", 1, "< 1 ms", 1.0)
    game_row("Answer path, 99th percentile", "answer", 2, "< 16 ms", 16.0)
    game_row(f"Game start, 32,767 entries, median of {g_o['start'][0]} "
             "(one read gives count and entries)", "start", 1, "< 10 ms", 10.0)
    game_row(f"Save with 32,765 rows in the grid (the most that can take one more), median of {g_o['save'][0]}",
             "save", 1, "< 5 ms", 5.0)
    game_row(f"Chart of 32,766 games opened and painted, median of {g_o['chart'][0]}",
             "chart", 1, "< 1,000 ms", 1000.0)
    row(f"Time-bar tick, median of {g_o['tick'][0]} (p99)", "—",
        f"{g_o['tick'][1]:.3f} ms ({g_o['tick'][2]:.3f})",
        f"{g_x['tick'][1]:.3f} ms ({g_x['tick'][2]:.3f})")
    row(f"Idle CPU over {IDLE_SECONDS} s or more, largest files, two timers ticking", "< 0.1 % of a core",
        f"{o['idle']:.3f} %", f"{x['idle']:.3f} %", verdict(o["idle"] < 0.1, x["idle"] < 0.1))
    for name, text, budget in (("empty", "empty dictionary and history (the window alone)", None),
                               ("bundled", "bundled files", None),
                               ("largest", "largest files", 1.5)):
        row(f"Peak memory (RSS), {text}", f"≤ {budget}× bare" if budget else "—",
            f"{ratio(o['rss'][name], o['rss']['bare'])} ({o['rss'][name]:.1f} MB)",
            f"{ratio(x['rss'][name], x['rss']['bare'])} ({x['rss'][name]:.1f} MB)",
            verdict(o["rss"][name] <= budget * o["rss"]["bare"],
                    x["rss"][name] <= budget * x["rss"]["bare"]) if budget else "")
    row("Peak memory (RSS), bare window / with Japanese text", "—",
        f"{o['rss']['bare']:.1f} / {o['rss']['label']:.1f} MB",
        f"{x['rss']['bare']:.1f} / {x['rss']['label']:.1f} MB")
    c = x["cpu"]
    row("CPU from start until idle (2 s after the window shows), bare window (reference)", "—", "—",
        f"{c['bare']:.0f} ms")
    row("… bare window with one line of Japanese text (font floor)", "—", "—",
        f"{ratio(c['label'], c['bare'])} ({c['label']:.0f} ms)")
    row("… SUMIRAKU, empty dictionary and history (the window alone)", "—", "—",
        f"{ratio(c['empty'], c['bare'])} ({c['empty']:.0f} ms)")
    for name, text, budget in (("bundled", "bundled files", 1.6), ("largest", "largest files", 2.5)):
        row(f"… SUMIRAKU, {text}", f"≤ {budget}× bare", "—", f"{ratio(c[name], c['bare'])} ({c[name]:.0f} ms)",
            verdict(c[name] <= budget * c["bare"]))
    if "tipp10" in c:
        row("… TIPP10 (a typing tutor from Debian), its first start", "—", "—",
            f"{ratio(c['tipp10'], c['bare'])} ({c['tipp10']:.0f} ms)")
    row("Grid filled row by row, 32,766 rows (bench_grid): each cell shown / Redraw off", "—",
        f"{o['grid']['append']:.0f} / {o['grid']['held']:.0f} ms",
        f"{x['grid']['append']:.0f} / {x['grid']['held']:.0f} ms")
    return "\n".join(lines)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    if len(args) != 2:
        sys.exit(__doc__)
    quick = "--quick" in sys.argv
    build, data = pathlib.Path(args[0]).resolve(), pathlib.Path(args[1]).resolve()
    bench = build / "bench"
    here = pathlib.Path(__file__).resolve().parent

    # The idle program gets an X server of its own: the other benchmarks' windows
    # coming and going on a shared one would wake it.
    with tempfile.TemporaryDirectory() as tmp, Xvfb() as x, Xvfb() as idle_x:
        tmp = pathlib.Path(tmp)
        folders = {"empty": empty_folder(data, tmp / "empty"), "bundled": copy_folder(data, tmp / "bundled"),
                   "largest": tmp / "largest"}
        run([sys.executable, str(here / "make_largest.py"), str(data), str(folders["largest"])],
            os.environ)
        runtime = tmp / "runtime"
        runtime.mkdir(mode=0o700)
        envs = {}
        for name, extra in (("offscreen", {"QT_QPA_PLATFORM": "offscreen"}),
                            ("xcb", {"QT_QPA_PLATFORM": "xcb", "DISPLAY": x.display})):
            envs[name] = dict(os.environ, XDG_RUNTIME_DIR=str(runtime), **extra)

        # The idle programs rest meanwhile, each timed over the whole run (30 s at least).
        idle = {}
        for name, env in envs.items():
            folder = copy_folder(folders["largest"], tmp / f"idle-{name}")
            env = dict(env, DISPLAY=idle_x.display) if name == "xcb" else env
            idle[name] = start_idle(build / "sumiraku", folder, env)
        time.sleep(5)   # start-up done, the window shown
        idle_from = time.monotonic()
        idle_cpu = {name: cpu_ns(p.pid) for name, p in idle.items()}

        m = {}
        for name, env in envs.items():
            m[name] = {
                "startup": startup(bench, folders, env, 2 if quick else 10, 10),
                "game": game(bench, folders["largest"], env),
                "grid": grid_fill(bench, env),
                "rss": {
                    "bare": peak_rss([str(bench / "bench_bare_window")], env),
                    "label": peak_rss([str(bench / "bench_bare_window"), "--label"], env),
                    "empty": peak_rss([str(bench / "bench_startup"), str(folders["empty"])], env),
                    "bundled": peak_rss([str(bench / "bench_startup"), str(folders["bundled"])], env),
                    "largest": peak_rss([str(bench / "bench_startup"), str(folders["largest"])], env),
                },
            }

        # CPU until idle is measured on X only: offscreen has no window to wait for.
        env = envs["xcb"]
        programs = {
            "bare": ([str(bench / "bench_bare_window"), "--stay"], None, None),
            "label": ([str(bench / "bench_bare_window"), "--stay", "--label"], None, None),
        }
        for name in ("empty", "bundled", "largest"):
            programs[name] = ([str(build / "sumiraku")], None, copy_folder(folders[name], tmp / f"cpu-{name}"))
        tipp10 = shutil.which("tipp10")
        if tipp10:   # an empty home each time, so each start is its first
            homes = tmp / "tipp10-homes"
            programs["tipp10"] = ([tipp10], lambda: dict(env, HOME=tempfile.mkdtemp(dir=homes)), None)
            homes.mkdir()
        m["xcb"]["cpu"] = cpu_to_idle(programs, env, rounds=3 if quick else 11)

        time.sleep(max(0.0, idle_from + IDLE_SECONDS - time.monotonic()))
        idle_seconds = time.monotonic() - idle_from
        for name, p in idle.items():
            used = cpu_ns(p.pid) - idle_cpu[name]
            if p.poll() is not None:
                sys.exit(f"the idle program ended early under {name}")
            p.terminate()
            p.wait()
            m[name]["idle"] = used / (idle_seconds * 1e9) * 100

    print(f"Machine: {machine()}; Qt {qt_version()}.\n")
    print(table(m))


def qt_version():
    out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"],
                         capture_output=True, text=True)
    return out.stdout.split("+")[0] if out.returncode == 0 else "6"


if __name__ == "__main__":
    main()
