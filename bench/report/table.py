#!/usr/bin/env python3
"""Prints the benchmark report as one Markdown table from the raw output of run-benchmarks.

Usage: table.py OUTPUT-DIR RUNS
"""
import json
import statistics
import sys
from collections import defaultdict

out, runs = sys.argv[1], int(sys.argv[2])


def startup(name):
    """(first paint ms, CPU ms, peak MB) of the keyboard and of the minimal window."""
    rows = {}
    with open(f"{out}/{name}") as f:
        for line in f.readlines()[1:]:
            program, first_paint, _, cpu, peak = line.split()
            rows[program] = (float(first_paint), float(cpu), float(peak))
    return rows["bench_startup_hiragana"], rows["bench_startup_minimal"]


def medians(path):
    """{benchmark name: median real time in its own unit} from Google Benchmark's JSON."""
    with open(path) as f:
        data = json.load(f)
    result = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            result[b["run_name"]] = (b["real_time"], b["time_unit"])
    return result


def transfer():
    """{(target, tool): [(chars/s, errors)]} from bench/transfer/bench-transfer's output."""
    runs_by = defaultdict(list)
    with open(f"{out}/transfer.txt") as f:
        for line in f:
            fields = line.split()
            if len(fields) == 6 and fields[2].isdigit():
                target, tool, _, _, rate, errors = fields
                runs_by[(target, tool)].append((float(rate) if rate != "-" else 0.0, int(errors)))
    return runs_by


def ms(value_unit):
    value, unit = value_unit
    return value * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]


rows = []
for name, case in (("startup.txt", "openbox"), ("startup-no-wm.txt", "no window manager")):
    (app_ms, app_cpu, app_mb), (min_ms, min_cpu, min_mb) = startup(name)
    rows.append((f"Start-up to first paint, {case} (ms)", f"{app_ms:.1f}", f"minimal Qt window {min_ms:.1f}",
                 f"{app_ms / min_ms:.2f}x", "within 1.3x", app_ms <= 1.3 * min_ms))
    rows.append((f"CPU time to first paint, {case} (ms)", f"{app_cpu:.1f}", f"minimal Qt window {min_cpu:.1f}",
                 f"{app_cpu / min_cpu:.2f}x", "", None))
(app_ms, app_cpu, app_mb), (min_ms, min_cpu, min_mb) = startup("startup.txt")
rows.append(("Peak memory, 1 s after the first paint (MB)", f"{app_mb:.1f}", f"minimal Qt window {min_mb:.1f}",
             f"+{app_mb - min_mb:.1f} MB", "within 12 MB", app_mb - min_mb <= 12))

confirm = medians(f"{out}/confirm.json")
for length, line, label in ((1000, 40, "1k chars"), (32768, 40, "32k chars"), (100000, 40, "100k chars"),
                            (1000000, 40, "1M chars"), (32768, 0, "32k chars in one paragraph"),
                            (100000, 0, "100k chars in one paragraph")):
    args = f"{length}/{line}/iterations:30"
    box = ms(confirm[f"TextBox/{args}/manual_time"])
    painted = ms(confirm[f"TextBoxPainted/{args}/manual_time"])
    memory = ms(confirm[f"InMemory/{args}"])
    goal, met = ("at most 2 ms", box <= 2) if length == 1000000 else ("", None)
    rows.append((f"Confirm, text box, {label} (ms)", f"{box:.3g} ({painted:.3g} with paint)",
                 f"in-memory editor {memory:.3g}", f"{box / memory:.3g}x" if memory else "", goal, met))

speech = medians(f"{out}/speech.json")
say = ms(speech["SayAloudOnTheUiThread/0/iterations:20000"])
say_long = ms(speech["SayAloudOnTheUiThread/1/iterations:20000"])
rows.append(("SayAloud on the UI thread (µs)", f"{say * 1000:.1f}", f"500 kana: {say_long * 1000:.1f}", "",
             "under 1 ms", max(say, say_long) < 1))

def engine(name):
    """(confirm ms, read-aloud ms, CPU s per minute of speech) of one engine; None if it was skipped."""
    number = {"espeak-ng": 0, "Open JTalk": 1}[name]
    key = f"SpeakToFirstSample/{number}/{{}}/manual_time"
    if key.format(500) not in speech:
        return None
    return ms(speech[key.format(1)]), ms(speech[key.format(500)]), speech_counters[key.format(500)]["cpu_s_per_min"]


def counters(path):
    """{benchmark name: counters of its median} from Google Benchmark's JSON."""
    with open(path) as f:
        data = json.load(f)
    return {b["run_name"]: b for b in data["benchmarks"] if b.get("aggregate_name") in ("median", None)}


speech_counters = counters(f"{out}/speech.json")
espeak, jtalk = engine("espeak-ng"), engine("Open JTalk")
if jtalk:
    for i, (label, unit, goal, limit) in enumerate(
            (("Confirm to first sample of a kana, Open JTalk (cached) vs espeak-ng", "ms", "within 5 ms", 5),
             ("Read-aloud of 500 kana to first sample, Open JTalk vs espeak-ng", "ms", "under 150 ms", 150),
             ("CPU per minute of speech, Open JTalk (its processes included) vs espeak-ng", "s", "", None))):
        rows.append((f"{label} ({unit})", f"{jtalk[i]:.3g}", f"espeak-ng {espeak[i]:.3g}",
                     f"{jtalk[i] / espeak[i]:.3g}x" if espeak[i] else "", goal,
                     jtalk[i] < limit if limit else None))
    ready = speech_counters["OpenJtalkKeysReady/iterations:1/manual_time"]
    rows.append(("Open JTalk's keys kept ready: fill time at low priority (s); size", f"{ms((ready['real_time'], ready['time_unit'])) / 1000:.1f}",
                 f"{ready['texts']:.0f} texts, {ready['cache_MB']:.1f} MB", "", "", None))
else:
    rows.append(("Confirm to first sample of a kana, espeak-ng (ms)", f"{espeak[0]:.3g}",
                 f"500 kana: {espeak[1]:.3g}; Open JTalk not installed", "", "", None))

runs_by = transfer()
for kind, label, tool, floor in (("xterm", "xterm", "xdotool", 1000), ("editor", "Qt editor", "xdotool", 1000),
                                 ("foot", "foot on sway", "wtype", 2000),
                                 ("editor-wayland", "Qt editor on sway", "wtype", 2000)):
    ours, theirs = runs_by[(kind, "transfer")], runs_by[(kind, tool)]
    ours_rate = statistics.median(r for r, _ in ours)
    theirs_rate = statistics.median(r for r, _ in theirs)
    ours_errors = [e for _, e in ours]
    theirs_errors = [e for _, e in theirs]
    rows.append((f"Transfer into {label} (chars/s; errors per run)",
                 f"{ours_rate:.0f}; {' '.join(map(str, ours_errors))}",
                 f"{tool} {theirs_rate:.0f}; {' '.join(map(str, theirs_errors))}",
                 f"{ours_rate / theirs_rate:.1f}x", f"0 errors, {floor:,} chars/s or more",
                 ours_rate >= floor and not any(ours_errors)))

print(f"Medians of {runs} runs each, all measured side by side in one run. Texts for Confirm are in lines")
print("of 40 kana unless said; \"with paint\" adds the layout and paint that follow the click.\n")
print("| Measure | Hiragana | Beside it | Ratio | Goal | Met |")
print("|---|---|---|---|---|---|")
for measure, value, beside, ratio, goal, met in rows:
    mark = "" if met is None else ("yes" if met else "**no**")
    print(f"| {measure} | {value} | {beside} | {ratio} | {goal} | {mark} |")
