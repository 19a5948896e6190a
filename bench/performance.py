"""What the desktop program costs, each figure beside its floor measured in the same run.

    /usr/bin/python3 bench/performance.py [--build DIR] [--runs N] [--cpu-seconds S]

runs on a private desktop (Xvfb and IceWM, as the end-to-end tests use) and prints one table:

- start-up to the first painted frame, and peak memory (VmHWM), of zumzik against a minimal Qt
  window of the same size (zumzik_minimal_window);
- the processor time that each uses over S seconds with its window shown, and again after it has
  been minimised;
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

from Xlib import X, display as xdisplay  # noqa: E402

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
SETTLE_SECONDS = 2


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

    def __init__(self, name, argv, data_dir):
        self.name, self.argv, self.data_dir = name, argv, data_dir

    def start(self, desktop):
        workdir = tempfile.mkdtemp(prefix="zumzik-bench-")
        if self.data_dir:
            for entry in os.listdir(self.data_dir):
                shutil.copy(os.path.join(self.data_dir, entry), workdir)
        process = desktop.spawn(self.argv, cwd=workdir, stdout=subprocess.DEVNULL,
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
    main window's quotes panel and above its frame; the minimal window is all background), and
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


def idle_costs(desktop, program, seconds):
    """Per cent of one core used over `seconds` with the window shown and then minimised, and the
    peak resident memory in MiB."""
    process = program.start(desktop)
    try:
        window = wait_until(lambda: desktop.client_windows(process.pid), 30,
                            f"{program.name}'s window")[0]
        time.sleep(SETTLE_SECONDS)
        before = cpu_seconds(process.pid)
        time.sleep(seconds)
        shown = 100 * (cpu_seconds(process.pid) - before) / seconds
        memory = peak_memory_mib(process.pid)

        desktop.xdotool("windowminimize", window.id)
        wait_until(lambda: not window.is_viewable(), 10, f"{program.name} to be minimised")
        time.sleep(SETTLE_SECONDS)
        before = cpu_seconds(process.pid)
        time.sleep(seconds)
        hidden = 100 * (cpu_seconds(process.pid) - before) / seconds
        return shown, hidden, memory
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


def row(what, figure, floor, unit, digits):
    ratio = f"{figure / floor:.2f}" if floor else "-"
    return f"| {what} | {figure:,.{digits}f} {unit} | {floor:,.{digits}f} {unit} | {ratio} |"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(TOP, "build", "bench"),
                        help="the build folder (default: build/bench)")
    parser.add_argument("--runs", type=int, default=5, help="runs per figure (default: 5)")
    parser.add_argument("--cpu-seconds", type=float, default=30,
                        help="length of each processor-time measurement (default: 30)")
    options = parser.parse_args()

    zumzik = Program("zumzik", [os.path.join(options.build, "ui", "zumzik")],
                     os.path.join(TOP, "data"))
    minimal = Program("the minimal window",
                      [os.path.join(options.build, "bench", "zumzik_minimal_window")], None)
    benchmark = os.path.join(options.build, "bench", "zumzik_engine_bench")

    startup, idle = {}, {}
    with Desktop() as desktop:
        screen = Screen(desktop)
        for program in (zumzik, minimal):
            probe = background_probe(desktop, screen, program)
            startup[program] = statistics.median(
                time_to_first_frame(desktop, screen, program, probe)
                for _ in range(options.runs))
            costs = [idle_costs(desktop, program, options.cpu_seconds)
                     for _ in range(options.runs)]
            idle[program] = [statistics.median(column) for column in zip(*costs)]
        screen.close()
    replies, lower_casing = replies_per_second(benchmark, options.runs)

    seconds = f"{options.cpu_seconds:g} s"
    print(f"| figure (median of {options.runs} runs) | zumzik | floor | ratio |")
    print("|---|---|---|---|")
    print(row("start-up to the first painted frame (floor: minimal Qt window)",
              startup[zumzik] * 1000, startup[minimal] * 1000, "ms", 0))
    print(row("peak memory, VmHWM (floor: minimal Qt window)",
              idle[zumzik][2], idle[minimal][2], "MiB", 1))
    print(row(f"CPU over {seconds}, window shown (floor: minimal Qt window)",
              idle[zumzik][0], idle[minimal][0], "% of a core", 2))
    print(row(f"CPU over {seconds}, window minimised (floor: minimal Qt window)",
              idle[zumzik][1], idle[minimal][1], "% of a core", 2))
    print(row("engine replies per second (floor: lower-casing the line alone)",
              replies / 1000, lower_casing / 1000, "thousand/s", 0))


if __name__ == "__main__":
    main()
