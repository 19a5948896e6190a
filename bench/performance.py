"""What the desktop program costs, each figure beside two floors measured in the same run.

    /usr/bin/python3 bench/performance.py [--build DIR] [--runs N] [--cpu-seconds S]

runs on private desktops (Xvfb and IceWM, as the end-to-end tests use) and prints the performance
table of the README, in Markdown:

- start-up to the first painted frame, peak memory (VmHWM), and the processor time used over S
  seconds with the window shown and again after a minimise, of zumzik beside two floors: a bare
  Qt window of the same size (zumzik_minimal_window) and the main window's standard controls alone
  (zumzik_same_controls_window), each with the ratio of zumzik's figure to it, the target and
  whether it is met. The three programs take turns within every run; minimised, zumzik hides in
  the tray and animates its icon, while the floors just lie minimised.
- the same hiding over StatusNotifierItem, in a second desktop whose panel is the tests' watcher
  and host, and what the animation sends per second over XEmbed and over StatusNotifierItem
  (bench/tray_traffic.py);
- replies per second of the conversation engine (Google Benchmark) against merely lower-casing
  the same lines, the first step of every reply.

Every figure is the median over N runs. bench/run builds what is needed and calls this script.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TOP, "tests", "e2e"))

from desktop import Desktop, wait_until  # noqa: E402
from status_notifier import StatusNotifierTray  # noqa: E402
from tray_traffic import minimise, status_notifier_traffic, xembed_traffic  # noqa: E402

from Xlib import X, display as xdisplay  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
SETTLE_SECONDS = 2
# The window comes back by itself 50 s after it hid in the tray; a measurement of the hidden
# program ends before that.
MAX_CPU_SECONDS = 45


class Screen:
    """Reads pixels straight from the X server, fast enough to catch a window's first frame."""

    def __init__(self, desktop):
        self.connection = xdisplay.Display(desktop.display)
        self.root = self.connection.screen().root

    def pixels(self, point):
        """A 4 x 4 block of raw pixels at point (the root window shows what every window on top
        of it shows)."""
        x, y = point
        return self.root.get_image(x, y, 4, 4, X.ZPixmap, 0xFFFFFFFF).data

    def close(self):
        self.connection.close()


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # user and system time


def peak_memory_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    raise RuntimeError("no VmHWM in /proc status")


class Program:
    """One desktop program under measurement, started in a working directory of its own."""

    def __init__(self, name, argv, data_dir=None, hides_in_tray=False):
        self.name, self.argv, self.data_dir = name, argv, data_dir
        self.hides_in_tray = hides_in_tray

    def start(self, desktop, env=None):
        workdir = tempfile.mkdtemp(prefix="zumzik-bench-")
        if self.data_dir:
            for entry in os.listdir(self.data_dir):
                shutil.copy(os.path.join(self.data_dir, entry), workdir)
        process = desktop.spawn(self.argv, cwd=workdir, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        process.workdir = workdir
        return process

    @staticmethod
    def stop(process):
        process.kill()
        process.wait()
        shutil.rmtree(process.workdir, ignore_errors=True)


def time_to_first_frame(desktop, screen, program, probe):
    """Seconds from starting the program to the moment its painted background shows at the
    probe point."""
    point, painted = probe
    blank = screen.pixels(point)
    started = time.monotonic()
    process = program.start(desktop)
    try:
        wait_until(lambda: screen.pixels(point) == painted, 30,
                   f"the first frame of {program.name}", interval=0.0005)
        return time.monotonic() - started
    finally:
        Program.stop(process)
        wait_until(lambda: screen.pixels(point) == blank, 10, "the screen to clear")


def background_probe(desktop, screen, program):
    """A point in the program's window where only the window's background shows (below the
    main window's quotes panel and above its frame; the floors show background there too), and
    the pixels there once the window is up. The window opens at the same place every time."""
    process = program.start(desktop)
    try:
        window = wait_until(lambda: desktop.client_windows(process.pid), 30,
                            f"{program.name}'s window")[0]
        time.sleep(SETTLE_SECONDS)
        x, y, _, _ = window.geometry()
        point = (x + 200, y + 90)
        return point, screen.pixels(point)
    finally:
        Program.stop(process)


def cpu_percent(pid, seconds):
    """Per cent of one core that the process uses over the next `seconds`."""
    before, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(pid) - before) / (time.monotonic() - start)


def idle_costs(desktop, program, seconds):
    """Per cent of one core used over `seconds` with the window shown and then minimised, and the
    peak resident memory in MiB."""
    process = program.start(desktop)
    try:
        wait_until(lambda: desktop.client_windows(process.pid), 30, f"{program.name}'s window")
        time.sleep(SETTLE_SECONDS)
        shown = cpu_percent(process.pid, seconds)
        memory = peak_memory_mib(process.pid)
        minimise(desktop, process, into_tray=program.hides_in_tray)
        time.sleep(SETTLE_SECONDS)
        return shown, cpu_percent(process.pid, seconds), memory
    finally:
        Program.stop(process)


def hidden_cost(desktop, program, seconds):
    """Per cent of one core used over `seconds` once the window has hidden in the tray."""
    process = program.start(desktop)
    try:
        minimise(desktop, process)
        time.sleep(SETTLE_SECONDS)
        return cpu_percent(process.pid, seconds)
    finally:
        Program.stop(process)


def replies_per_second(benchmark, runs):
    """Median items per second of the engine's short-line benchmarks: (replies, lower-casing)."""
    result = subprocess.run(
        [benchmark, "--benchmark_filter=^(RepliesToShortLines|LowerCasesShortLines)$",
         f"--benchmark_repetitions={runs}", "--benchmark_format=json",
         "--benchmark_min_time=0.2"], capture_output=True, text=True, check=True)
    per_run = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        if entry.get("run_type") == "iteration":
            per_run.setdefault(entry["run_name"], []).append(entry["items_per_second"])
    return (statistics.median(per_run["RepliesToShortLines"]),
            statistics.median(per_run["LowerCasesShortLines"]))


def with_ratio(figure, floor, text):
    """A floor's figure with the ratio of zumzik's figure to it; a zero floor has no ratio."""
    return f"{text} ({figure / floor:.2f}×)" if floor else text


def met(condition):
    return "yes" if condition else "**no**"


class Table:
    """The Markdown table: one row per figure, zumzik beside its two floors."""

    def __init__(self, runs):
        self.lines = [f"| figure (median of {runs} runs) | zumzik | bare window | "
                      "same controls, no features | target | met |",
                      "|---|---|---|---|---|---|"]
        self.all_met = True

    def row(self, what, zumzik, floors, target, condition):
        self.all_met = self.all_met and condition
        self.lines.append(f"| {what} | {zumzik} | {floors[0]} | {floors[1]} | {target} | "
                          f"{met(condition)} |")

    def compared(self, what, figures, unit, digits, limit):
        """A row whose target is a ratio to the same-controls window."""
        zumzik, bare, same = figures
        floors = [with_ratio(zumzik, floor, f"{floor:,.{digits}f} {unit}")
                  for floor in (bare, same)]
        self.row(what, f"{zumzik:,.{digits}f} {unit}", floors,
                 f"≤ {limit:.2f}× the same-controls window", zumzik <= limit * same)

    def bounded(self, what, figures, limit, condition=True, extra=""):
        """A row of processor time whose target is a share of one core."""
        zumzik, bare, same = figures
        self.row(what, f"{zumzik:.2f} %", [f"{bare:.2f} %", f"{same:.2f} %"],
                 f"≤ {limit:.2f} %{extra}", zumzik <= limit and condition)

    def print(self):
        print("\n".join(self.lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(TOP, "build", "bench"),
                        help="the build folder (default: build/bench)")
    parser.add_argument("--runs", type=int, default=5, help="runs per figure (default: 5)")
    parser.add_argument("--cpu-seconds", type=float, default=30,
                        help="length of each processor-time measurement (default: 30, at most "
                        f"{MAX_CPU_SECONDS:g})")
    options = parser.parse_args()
    if not 0 < options.cpu_seconds <= MAX_CPU_SECONDS:
        parser.error(f"--cpu-seconds must lie between 0 and {MAX_CPU_SECONDS:g}")
    seconds = options.cpu_seconds

    zumzik = Program("zumzik", [os.path.join(options.build, "ui", "zumzik")],
                     os.path.join(TOP, "data"), hides_in_tray=True)
    bare = Program("the bare window",
                   [os.path.join(options.build, "bench", "zumzik_minimal_window")])
    same = Program("the same-controls window",
                   [os.path.join(options.build, "bench", "zumzik_same_controls_window")])
    programs = (zumzik, bare, same)
    benchmark = os.path.join(options.build, "bench", "zumzik_engine_bench")

    startup = {program: [] for program in programs}
    idle = {program: [] for program in programs}
    sni_hidden = []
    with Desktop() as desktop, Desktop(tray=False) as sni_desktop:
        tray = StatusNotifierTray(sni_desktop)
        tray.start()
        screen = Screen(desktop)
        probes = {program: background_probe(desktop, screen, program) for program in programs}
        # The programs take turns, so that a slow spell of the machine weighs on all alike.
        for _ in range(options.runs):
            for program in programs:
                startup[program].append(
                    time_to_first_frame(desktop, screen, program, probes[program]))
                idle[program].append(idle_costs(desktop, program, seconds))
            sni_hidden.append(hidden_cost(sni_desktop, zumzik, seconds))
        screen.close()
        frames, sent, received, shared = xembed_traffic(desktop, zumzik, seconds)
        new_icons, messages, size = status_notifier_traffic(sni_desktop, tray, zumzik, seconds)
    replies, lower_casing = replies_per_second(benchmark, options.runs)

    def medians(column):
        return [statistics.median(costs[column] for costs in idle[p]) for p in programs]

    shown, hidden, memory = medians(0), medians(1), medians(2)
    sni_median = statistics.median(sni_hidden)
    # The kernel counts processor time in clock ticks: two figures that differ by less than one
    # tick are alike.
    tick = 100 / CLOCK_TICKS / seconds

    table = Table(options.runs)
    table.compared("start-up to the first painted frame",
                   [1000 * statistics.median(startup[p]) for p in programs], "ms", 0, 1.15)
    table.compared("peak memory (VmHWM)", memory, "MiB", 1, 1.15)
    table.bounded(f"CPU over {seconds:g} s (% of a core), window shown, quotes scrolling", shown,
                  0.35)
    table.bounded(f"CPU over {seconds:g} s (% of a core), hidden in the tray over XEmbed, icon "
                  "animating (floors: minimised)", hidden, 0.20)
    table.row(f"CPU over {seconds:g} s (% of a core), hidden in the tray over StatusNotifierItem",
              f"{sni_median:.2f} %", ["-", "-"], "≤ 0.20 %", sni_median <= 0.20)
    table.row("the same, compared with XEmbed", f"{sni_median - hidden[0]:+.2f} %",
              ["-", "-"], f"no more than over XEmbed (within a clock tick, {tick:.2f} %)",
              sni_median <= hidden[0] + tick)
    # The program sends its pixels with the requests; a Qt that uses shared memory passes them
    # beside the connection.
    pixels = (f"; pixels {shared / 1000:.1f} kB through shared memory" if shared
              else ", pixels included")
    table.row("tray animation over XEmbed, per second",
              f"{frames:.1f} frames; X requests {sent / 1000:.2f} kB, replies and events "
              f"{received / 1000:.2f} kB{pixels}",
              ["-", "-"], "5 frames", abs(frames - 5) < 0.5)
    table.row("tray animation over StatusNotifierItem, per second",
              f"{new_icons:.1f} NewIcon signals; {messages:.1f} D-Bus messages, "
              f"{size / 1000:.1f} kB, the panel's reads of the pixels included",
              ["-", "-"], "5 NewIcon signals", abs(new_icons - 5) < 0.5)
    table.print()
    print()
    print(f"| engine, median of {options.runs} runs | zumzik | floor: lower-casing the line "
          "alone | ratio |")
    print("|---|---|---|---|")
    print(f"| replies per second | {replies / 1000:,.0f} thousand/s | "
          f"{lower_casing / 1000:,.0f} thousand/s | {replies / lower_casing:.2f} |")
    return 0 if table.all_met else 1


if __name__ == "__main__":
    sys.exit(main())
