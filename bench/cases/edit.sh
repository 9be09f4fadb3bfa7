#!/usr/bin/env bash
# Cut and paste on a one-hour stereo 16-bit document against cp of the same working file,
# in one run, each the best of three (wall time, nothing waiting to be written before each
# step), then the peak resident memory against its 64 MB limit. Exits 1 when a target is
# missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${EDIT_BENCH:-${BIN:-$here/../../build/default/bin}/edit_bench}
[ -x "$bin" ] || { echo "edit.sh: $bin not built" >&2; exit 2; }

work=$(mktemp -d /tmp/kelvara-edit-XXXXXX)
trap 'rm -rf "$work"' EXIT
KELVARA_BENCH_DIR=$work/run /usr/bin/time -v -o "$work/time.txt" \
    "$bin" --benchmark_format=json --benchmark_out="$work/out.json" >/dev/null 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; exit 2; }

PYTHONPATH="$here/.." python3 - "$work/out.json" "$work/time.txt" <<'PY'
import re, sys
import report
runs = report.load(sys.argv[1])
peak_kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", open(sys.argv[2]).read()).group(1))
peer = report.best_seconds(runs, "BM_CpWorkingFile")
ok = True
for case, name in (("cut 1 hour", "BM_Cut"), ("paste 1 hour", "BM_Paste")):
    ok &= report.time_line(case, report.best_seconds(runs, name), "cp", peer, 1.5)
ok &= report.memory_line("edit peak RSS", peak_kb / 1024)
sys.exit(0 if ok else 1)
PY
