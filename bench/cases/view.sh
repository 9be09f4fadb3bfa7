#!/usr/bin/env bash
# A full redraw of a one-hour stereo document, 1920 pixels wide, at the whole-file zoom and
# at one frame per pixel, against the 16 ms of one frame at 60 Hz: best of five repetitions.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)"
[ -x "$BIN/view_bench" ] || { echo "view: $BIN/view_bench is not built (no Qt view)" >&2; exit 1; }
json="$KELVARA_BENCH_DIR/view.json"
QT_QPA_PLATFORM=offscreen "$BIN/view_bench" --benchmark_format=json --benchmark_out="$json" \
  --benchmark_repetitions=5 >/dev/null 2>&1
PYTHONPATH="$bench" python3 - "$json" <<'PY'
import sys
import report
runs = report.load(sys.argv[1])
ok = True
for case, name in (("redraw whole file", "BM_RedrawWholeFile"),
                   ("redraw frame per pixel", "BM_RedrawFramePerPixel")):
    ok &= report.time_line(case, report.best_seconds(runs, name), "frame", 0.016, 1.0)
sys.exit(0 if ok else 1)
PY
