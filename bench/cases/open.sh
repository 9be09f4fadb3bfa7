#!/usr/bin/env bash
# Opening a one-hour and a 4 GiB stereo 16-bit wave file (working file and overview)
# against cp of the same file: least processor time of five alternating rounds each, the
# source in the page cache and nothing waiting to be written; the target is 2 x cp's time.
# KELVARA_BENCH_NO_4G=1 leaves the 4 GiB case out (it writes some 12 GB).
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/open.json"
"$BIN/open_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1 || true
PYTHONPATH="$bench" python3 - "$json" <<'PY'
import sys
import report
runs = report.load(sys.argv[1])
ok = True
for case, name in (("open 1 hour", "BM_open_1_hour"), ("open 4 GiB", "BM_open_4_GiB")):
    done = [b for b in runs["benchmarks"] if b["name"].startswith(name) and "ours_best_s" in b]
    if not done:
        print(f"{case:32s} (left out)")
        continue
    ok &= report.time_line(case, report.counter(runs, name, "ours_best_s"), "cp",
                           report.counter(runs, name, "cp_best_s"), 2.0)
    ok &= report.memory_line(f"{case} peak RSS", report.counter(runs, name, "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
