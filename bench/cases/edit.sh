#!/usr/bin/env bash
# Cut and paste on a one-hour stereo 16-bit document against cp of the same working file,
# in one run. Prints "<case> <ours MB/s> <peer MB/s> <ratio>", the ratio being our time
# over the peer's (a cut must stay at or under 2), then the peak resident memory against
# its 64 MB limit. Exits 1 when a limit is missed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${EDIT_BENCH:-$here/../../build/default/bin/edit_bench}
[ -x "$bin" ] || { echo "edit.sh: $bin not built" >&2; exit 2; }

work=$(mktemp -d /tmp/kelvara-edit-XXXXXX)
trap 'rm -rf "$work"' EXIT
KELVARA_BENCH_DIR=$work/run /usr/bin/time -v -o "$work/time.txt" \
    "$bin" --benchmark_format=json --benchmark_out="$work/out.json" >/dev/null 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; exit 2; }

python3 - "$work/out.json" "$work/time.txt" <<'PY'
import json, re, sys
runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}
peak_kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", open(sys.argv[2]).read()).group(1))
mb = lambda name: runs[name]["bytes_per_second"] / 1e6
peer = mb("BM_CpWorkingFile")
ok = True
for case, name in (("cut", "BM_Cut"), ("paste", "BM_Paste")):
    ours = mb(name)
    ratio = peer / ours
    print(f"{case} {ours:.1f} {peer:.1f} {ratio:.2f}")
    if case == "cut" and ratio > 2.0:
        ok = False
peak = peak_kb / 1024
print(f"peak_rss_MB {peak:.1f} 64 {peak / 64:.2f}")
ok = ok and peak < 64
sys.exit(0 if ok else 1)
PY
