#!/usr/bin/env bash
# copy_file_to_file of a 1 GiB working file against cp of the same file (best of seven
# alternating rounds each, both with the source in the page cache and nothing waiting to be
# written; the target is 0.9 of cp's speed), and build_overview of the same file against a
# rate of 1 GB/s (best of three).
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
json="$KELVARA_BENCH_DIR/copy.json"
"$BIN/copy_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
PYTHONPATH="$bench" python3 - "$json" <<'PY'
import sys
import report
runs = report.load(sys.argv[1])
copy = "BM_copy_file_to_file_against_cp"
ok = report.time_line("copy_file_to_file 1 GiB", report.counter(runs, copy, "ours_best_s"),
                      "cp", report.counter(runs, copy, "cp_best_s"), round(1 / 0.9, 2))
ok &= report.memory_line("copy_file_to_file peak RSS", report.counter(runs, copy, "peak_rss_MB"))
ok &= report.time_line("build_overview 1 GiB", report.best_seconds(runs, "BM_build_overview"),
                       "1 GB/s", (1 << 30) / 1e9, 1.0)
ok &= report.memory_line("build_overview peak RSS",
                         report.counter(runs, "BM_build_overview", "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
