#!/usr/bin/env bash
# Recording a 10-minute stereo 16-bit take from the virtual input at full speed against
# real time / 200 (best of three, wall time); the processor time of 10 s recorded at real
# time against 2 % of one core; peak resident memory against 64 MB.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
[ -x "$BIN/record_bench" ] || { echo "record: $BIN/record_bench is not built" >&2; exit 1; }
json="$KELVARA_BENCH_DIR/record.json"
"$BIN/record_bench" --benchmark_format=json --benchmark_out="$json" >/dev/null 2>&1
PYTHONPATH="$bench" python3 - "$json" <<'PY'
import sys
import report
runs = report.load(sys.argv[1])
ok = report.time_line("record 10 min full speed", report.best_seconds(runs, "BM_Record10MinutesFullSpeed"),
                      "rt / 200", 600.0 / 200, 1.0)
ok &= report.time_line("record 10 s real time, cpu", report.counter(runs, "BM_Record10SecondsRealTime", "cpu_s"),
                       "2% core", 10.0 * 0.02, 1.0)
ok &= report.memory_line("record peak RSS",
                         report.counter(runs, "BM_Record10MinutesFullSpeed", "peak_rss_MB"))
sys.exit(0 if ok else 1)
PY
