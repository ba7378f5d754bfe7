#!/usr/bin/env python3
"""Figures of bench/transition_bench.sh from bench/frame_rate.c's output.

  transition_frames.py session MODE RAW KEY=VALUE...   one JSON line for a session
  transition_frames.py report FILE                       the table of all sessions

MODE is fade (cross-fades: each burst of frame changes is a fade; frames a
second over each, CPU over each, and CPU while the slide then stands
still), motion (frames a second and CPU in each whole second) or still
(the reference: CPU while the slide stands still between cuts).
"""
import json
import statistics
import sys

GAP_MS = 300  # frames further apart than this belong to different bursts
FADE_MIN_FRAMES = 5  # a burst of fewer changes is a cut
STILL_AFTER_MS, STILL_BEFORE_MS, STILL_MIN_MS = 700, 300, 1000
WHOLE_FADE = 0.8  # of the transition: a fade shorter than this was cut short


def read_raw(path):
    groups, changes, cpu, wait, end = [], {}, [], [], 0.0
    with open(path) as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            if parts[0] == "group":
                groups.append(parts[2])
            elif parts[0] == "change":
                changes.setdefault(int(parts[1]), []).append(float(parts[2]))
            elif parts[0] == "cpu":
                cpu.append((float(parts[1]), [int(v) for v in parts[2:]]))
                end = float(parts[1])
            elif parts[0] == "wait":
                wait.append((float(parts[1]), [int(v) for v in parts[2:]]))
            elif parts[0] == "readings":
                changes.setdefault(int(parts[1]), [])
    # Everything else the machine ran (another build, say), as one more group.
    if "machine" in groups:
        ours = [i for i, g in enumerate(groups) if g not in ("machine", "steal")]
        m = groups.index("machine")
        cpu = [(t, v + [v[m] - sum(v[i] for i in ours)]) for t, v in cpu]
        wait = [(t, w + [0]) for t, w in wait]
        groups = groups + ["others"]
    # The saver's main thread waiting for a CPU, as one more group.
    if wait and "saver" in groups:
        i = groups.index("saver")
        cpu = [(t, v + [w[i]]) for (t, v), (_, w) in zip(cpu, wait)]
        groups = groups + ["saver-wait"]
    return groups, changes, cpu, end


def cpu_at(cpu, t):
    """Each group's CPU ms at time t, interpolated between samples."""
    for (t0, v0), (t1, v1) in zip(cpu, cpu[1:]):
        if t0 <= t <= t1:
            k = (t - t0) / (t1 - t0) if t1 > t0 else 0
            return [a + (b - a) * k for a, b in zip(v0, v1)]
    return cpu[-1][1] if t > cpu[-1][0] else cpu[0][1]


def cpu_rate(groups, cpu, start, end):
    """CPU ms per second of each group over [start, end]."""
    a, b = cpu_at(cpu, start), cpu_at(cpu, end)
    return {g: (y - x) * 1000 / (end - start) for g, x, y in zip(groups, a, b)}


def bursts(times):
    out = []
    for t in times:
        if out and t - out[-1][1] <= GAP_MS:
            out[-1][1] = t
            out[-1][2] += 1
        else:
            out.append([t, t, 1])
    return out


def still_windows(changes, end):
    every = sorted(t for times in changes.values() for t in times)
    edges = [0.0] + every + [end]
    windows = []
    for a, b in zip(edges, edges[1:]):
        start, stop = a + STILL_AFTER_MS if a > 0 else a, b - STILL_BEFORE_MS
        if stop - start >= STILL_MIN_MS:
            windows.append((start, stop))
    return windows


def session(mode, raw, extra):
    groups, changes, cpu, end = read_raw(raw)
    result = dict(mode=mode, kind=mode, strips=len(changes))
    result.update(extra)
    if mode == "fade":
        fades, cuts, windows = {}, 0, []
        for strip, times in sorted(changes.items()):
            fades[strip] = []
            for start, stop, count in bursts(times):
                if count < FADE_MIN_FRAMES:
                    cuts += 1
                elif start > 500 and stop < end - GAP_MS:  # whole fades only
                    fades[strip].append({"fps": (count - 1) * 1000 / (stop - start), "ms": stop - start})
                    windows.append((start, stop))
        # A window per fade, all monitors together (they fade at once).
        windows.sort()
        merged = []
        for start, stop in windows:
            if merged and start <= merged[-1][1]:
                merged[-1][1] = max(merged[-1][1], stop)
            else:
                merged.append([start, stop])
        result["fades"] = fades
        result["cuts"] = cuts
        result["fade_cpu"] = [cpu_rate(groups, cpu, a, b) for a, b in merged]
        result["still_cpu"] = [cpu_rate(groups, cpu, a, b) for a, b in still_windows(changes, end)]
    elif mode == "motion":
        seconds = int(end // 1000)
        result["fps"] = {
            strip: [sum(1 for t in times if s * 1000 <= t < (s + 1) * 1000) for s in range(seconds)]
            for strip, times in sorted(changes.items())
        }
        # CPU in the seconds every monitor moved (none once motion is given up).
        result["cpu"] = [cpu_rate(groups, cpu, s * 1000, (s + 1) * 1000) for s in range(seconds)
                         if all(counts[s] > 0 for counts in result["fps"].values())]
    else:
        result["cuts"] = sum(len(times) for times in changes.values())
        result["still_cpu"] = [cpu_rate(groups, cpu, a, b) for a, b in still_windows(changes, end)]
    return result


def spread(values, fmt="{:.0f}"):
    """'median (lowest-highest)' of the values, or '-'."""
    if not values:
        return "-"
    return (fmt + " ({}-{})").format(statistics.median(values), fmt.format(min(values)), fmt.format(max(values)))


def run_medians(sessions, pick):
    """The median of each session's values, for the spread between runs."""
    out = []
    for s in sessions:
        values = pick(s)
        if values:
            out.append(statistics.median(values))
    return out


def report(path):
    sessions = [json.loads(line) for line in open(path) if line.strip()]
    keys = []
    for s in sessions:
        key = (s["platform"], s["layout"], s["mode"])
        if key not in keys:
            keys.append(key)
    for platform, layout, mode in keys:
        runs = [s for s in sessions if (s["platform"], s["layout"], s["mode"]) == (platform, layout, mode)]
        head = "{:<6} {:<8} {:<12} runs={} load {}".format(platform, layout, mode, len(runs),
                                                         " ".join(s.get("load", "?") for s in runs))
        lines = []
        kind = runs[0]["kind"]
        if kind == "fade":
            # A fade much shorter than the transition was cut short: given up.
            def whole(s, strip):
                return [f for f in s["fades"].get(strip, []) if f["ms"] >= WHOLE_FADE * float(s.get("transition", 3000))]
            for strip in sorted({k for s in runs for k in s["fades"]}, key=int):
                fps = [f["fps"] for s in runs for f in whole(s, strip)]
                ms = [f["ms"] for s in runs for f in whole(s, strip)]
                per_run = run_medians(runs, lambda s: [f["fps"] for f in whole(s, strip)])
                short = sum(len(s["fades"].get(strip, [])) - len(whole(s, strip)) for s in runs)
                lines.append(
                    "  monitor {}: fps per fade {} over {} fades; run medians {}; fade lasted {} ms; cut short {}".format(
                        int(strip) + 1, spread(fps, "{:.1f}"), len(fps), spread(per_run, "{:.1f}"), spread(ms), short))
            lines.append("  cuts seen (fades given up): {}; runs with cuts or fades cut short: {}".format(
                sum(s["cuts"] for s in runs),
                sum(1 for s in runs if s["cuts"] or any(len(whole(s, k)) < len(v) for k, v in s["fades"].items()))))
            lines += cpu_lines("during fades", runs, "fade_cpu")
            lines += cpu_lines("still between fades", runs, "still_cpu")
        elif kind == "motion":
            for strip in sorted({k for s in runs for k in s["fps"]}, key=int):
                fps = [v for s in runs for v in s["fps"].get(strip, [])]
                moving = [v for s in runs for v in moving_seconds(s["fps"].get(strip, []))]
                per_run = run_medians(runs, lambda s: s["fps"].get(strip, []))
                stops = [stopped_after(s["fps"].get(strip, [])) for s in runs]
                lines.append("  monitor {}: fps per second {} over {} s; run medians {}; whole seconds of motion "
                             "after the first {}; stopped after (s) {}".format(
                                 int(strip) + 1, spread(fps), len(fps), spread(per_run, "{:.1f}"), spread(moving),
                                 " ".join("-" if v is None else str(v) for v in stops)))
            lines += cpu_lines("during motion", runs, "cpu")
        else:
            lines.append("  cuts seen: {}".format(sum(s["cuts"] for s in runs)))
            lines += cpu_lines("still (reference)", runs, "still_cpu")
        print(head)
        print("\n".join(lines))


def stopped_after(counts):
    """The second from which no frame came to the end, or None."""
    last = max((i for i, v in enumerate(counts) if v > 0), default=-1)
    return last + 1 if last + 1 < len(counts) else None


def moving_seconds(counts):
    """The whole seconds of motion: from the second one, up to the one
    before it stopped."""
    stop = stopped_after(counts)
    return counts[1:stop - 1 if stop is not None else None]


def cpu_lines(what, runs, field):
    groups = []
    for s in runs:
        for window in s[field]:
            for g in window:
                if g not in groups:
                    groups.append(g)
    lines = []
    for g in groups:
        values = [w[g] for s in runs for w in s[field] if g in w]
        per_run = run_medians(runs, lambda s: [w[g] for w in s[field] if g in w])
        lines.append("  cpu ms/s {:<20} {:<8} {} over {} windows; run medians {}".format(
            what, g, spread(values, "{:.1f}"), len(values), spread(per_run, "{:.1f}")))
    return lines


if __name__ == "__main__":
    if sys.argv[1] == "session":
        extra = dict(arg.split("=", 1) for arg in sys.argv[4:])
        print(json.dumps(session(sys.argv[2], sys.argv[3], extra)))
    else:
        report(sys.argv[2])
