#!/usr/bin/env python3
"""The one line every bench/compare case prints:

    <case>  ours <time>  <peer> <time>  ratio <ours / peer>  target <= <t>  met|MISSED

The ratio is always our time over the peer's: below 1, ours is faster. Memory lines have
the same shape, with our peak resident memory over its limit.

From Python: import report; report.time_line(...). From a shell script:
    report.py time <case> <ours s> <peer name> <peer s> <target> [<=|<]
    report.py memory <case> <ours MB> <limit MB>
    report.py quality <case> <ours dB> <peer name> <peer dB>   (no target: for information)
    report.py best <json> <benchmark name> [cpu_time]   (least time of a Google Benchmark run, s)
    report.py cpu <runs> <command...>   (least processor time of a command over the runs, s)
"""
import json
import os
import subprocess
import sys

UNITS = ((1e-6, "us"), (1e-3, "ms"), (1.0, "s"))


def _unit(seconds):
    for size, name in reversed(UNITS):
        if seconds >= size:
            return size, name
    return UNITS[0]


def _line(case, ours, our_unit, peer_name, peer, peer_unit, ratio, op, target, met):
    print(f"{case:32s} ours {ours:9.2f} {our_unit:2s}  {peer_name:>10s} {peer:9.2f} {peer_unit:2s}"
          f"  ratio {ratio:6.2f}  target {op:2s} {target:4.2f}  {'met' if met else 'MISSED'}",
          flush=True)
    return met


def time_line(case, ours_s, peer_name, peer_s, target, op="<="):
    """Our time and the peer's in seconds; True when the target is met."""
    ratio = ours_s / peer_s if peer_s > 0 else float("inf")
    met = ratio <= target if op == "<=" else ratio < target
    size, unit = _unit(min(ours_s, peer_s))
    return _line(case, ours_s / size, unit, peer_name, peer_s / size, unit, ratio, op, target,
                 met)


def memory_line(case, ours_mb, limit_mb=64.0):
    ratio = ours_mb / limit_mb
    return _line(case, ours_mb, "MB", "limit", limit_mb, "MB", ratio, "<", 1.0, ratio < 1.0)


def quality_line(case, ours_db, peer_name, peer_db):
    """Residual energies in dB (lower is cleaner); the ratio is ours over the peer's energy."""
    ratio = 10 ** ((ours_db - peer_db) / 10)
    print(f"{case:32s} ours {ours_db:9.1f} dB  {peer_name:>10s} {peer_db:9.1f} dB"
          f"  ratio {ratio:6.2f}  (residual energy; lower is cleaner)", flush=True)
    return True


def reduction_line(case, ours, peer_name, peer):
    """(band change dB, tone change dB) for ours and the peer; the ratio is the band noise
    energy left, ours over the peer's (above 1: the peer removes more)."""
    ratio = 10 ** ((ours[0] - peer[0]) / 10)
    print(f"{case:32s} ours {ours[0]:9.2f} dB  {peer_name:>10s} {peer[0]:9.2f} dB"
          f"  ratio {ratio:6.2f}  (band noise left; tone {ours[1]:+.2f} dB ours,"
          f" {peer[1]:+.2f} dB {peer_name})", flush=True)
    return True


def _is(b, name):
    # Repeated or fixed-iteration runs carry suffixes such as "/iterations:1/repeats:3".
    run = b.get("run_name", b["name"])
    return run == name or run.startswith(name + "/")


def best_seconds(runs, name, field="real_time"):
    """Least time (real_time or cpu_time), in seconds, over the repetitions of one benchmark
    in a JSON report."""
    times = [b[field] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
             for b in runs["benchmarks"]
             if _is(b, name) and b.get("run_type", "iteration") == "iteration"]
    if not times:
        raise SystemExit(f"no runs of {name}")
    return min(times)


def counter(runs, name, key):
    """The largest value of a counter over the repetitions of one benchmark."""
    return max(b[key] for b in runs["benchmarks"] if _is(b, name) and key in b)


def best_cpu_seconds(runs, command):
    """Least processor time (user + system, its children included) of a command."""
    best = float("inf")
    for _ in range(runs):
        with subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL) as p:
            _, status, used = os.wait4(p.pid, 0)
            p.returncode = os.waitstatus_to_exitcode(status)
        if p.returncode != 0:
            raise SystemExit(f"{command[0]} failed ({p.returncode})")
        best = min(best, used.ru_utime + used.ru_stime)
    return best


def load(path):
    return json.load(open(path))


if __name__ == "__main__":
    a = sys.argv[1:]
    if a and a[0] == "time" and len(a) in (6, 7):
        ok = time_line(a[1], float(a[2]), a[3], float(a[4]), float(a[5]), a[6] if len(a) == 7 else "<=")
    elif a and a[0] == "memory" and len(a) == 4:
        ok = memory_line(a[1], float(a[2]), float(a[3]))
    elif a and a[0] == "quality" and len(a) == 5:
        ok = quality_line(a[1], float(a[2]), a[3], float(a[4]))
    elif a and a[0] == "cpu" and len(a) >= 3:
        print(best_cpu_seconds(int(a[1]), a[2:]))
        ok = True
    elif a and a[0] == "best" and len(a) in (3, 4):
        print(best_seconds(load(a[1]), a[2], a[3] if len(a) == 4 else "real_time"))
        ok = True
    else:
        raise SystemExit(__doc__)
    sys.exit(0 if ok else 1)
